# The Windows window framework (CString, CWnd, CDialog, message maps, controls).
add_library(zodovu_framework STATIC
  String.cpp
  CmdTarget.cpp
  WndState.cpp
  Wnd.cpp
  Dialog.cpp
  DialogProc.cpp
  ExceptionReport.cpp
  DataExchange.cpp
  WinApp.cpp
  ListCtrl.cpp
  ProgressCtrl.cpp
  PaintDC.cpp
  FileDialog.cpp
)
target_include_directories(zodovu_framework PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zodovu_framework PUBLIC zodovu_file comctl32 comdlg32 user32 gdi32)

# The program's WinMain: link this into the executable alongside zodovu_framework.
add_library(zodovu_winmain OBJECT WinMain.cpp)
target_link_libraries(zodovu_winmain PUBLIC zodovu_framework)
