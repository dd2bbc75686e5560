#include "ViewerProcess.h"

#include "ui/res/resource.h"

#include <commctrl.h>

#include <stdexcept>
#include <vector>

namespace bench {

namespace {

// The file dialogs' name field: a combo box in the explorer style, an edit otherwise.
const int kNameFields[] = {0x47c, 0x480};

std::string ClassOf(HWND hWnd)
{
    char szClass[64] = "";
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    return szClass;
}

bool IsMainWindow(HWND hWnd)
{
    char szText[64] = "";
    ::GetWindowTextA(hWnd, szText, sizeof szText);
    return std::string(szText) == "Korvalon FMV viewer";
}

bool IsFileDialog(HWND hWnd)
{
    for (int nID : kNameFields)
        if (::GetDlgItem(hWnd, nID) != NULL)
            return true;
    return false;
}

bool IsProgressWindow(HWND hWnd)
{
    HWND hBar = ::GetDlgItem(hWnd, IDC_PROGRESS);
    return hBar != NULL && ClassOf(hBar) == PROGRESS_CLASSA;
}

struct Search {
    bool (*match)(HWND);
    HWND hFound;
};

BOOL CALLBACK Look(HWND hWnd, LPARAM lParam)
{
    Search* pSearch = reinterpret_cast<Search*>(lParam);
    if (::IsWindowVisible(hWnd) && pSearch->match(hWnd)) {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Returns when the window is gone, at the poll that saw it go. (Wine delivers no
// out-of-context events of another process, so polling it is.)
double WaitGone(HWND hWnd, double seconds)
{
    const double dLimit = Now() + seconds;
    while (::IsWindow(hWnd)) {
        if (Now() > dLimit)
            throw std::runtime_error("a window of zodovu.exe did not go");
        ::Sleep(2);
    }
    return Now();
}

} // namespace

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    ::QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

ViewerProcess::ViewerProcess(const std::string& exe)
{
    // A window of this process first, so that the desktop and its display driver
    // are up before the child starts: one whose first window would start them can
    // find no driver.
    ::DestroyWindow(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL));
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> commandLine(exe.begin(), exe.end());
    commandLine.insert(commandLine.begin(), '"');
    commandLine.push_back('"');
    commandLine.push_back('\0');
    if (!::CreateProcessA(NULL, commandLine.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_pi))
        throw std::runtime_error("cannot start " + exe);
    m_hMain = WaitForWindow(IsMainWindow, "main window", 30);
}

ViewerProcess::~ViewerProcess()
{
    if (m_hMain != NULL)
        ::PostMessageA(m_hMain, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_hMain, IDCANCEL)));
    if (::WaitForSingleObject(m_pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(m_pi.hProcess, 1);
    ::CloseHandle(m_pi.hThread);
    ::CloseHandle(m_pi.hProcess);
}

HWND ViewerProcess::WaitForWindow(bool (*match)(HWND), const char* what, double seconds) const
{
    const double dLimit = Now() + seconds;
    for (;;) {
        Search search = {match, NULL};
        ::EnumThreadWindows(m_pi.dwThreadId, Look, reinterpret_cast<LPARAM>(&search));
        if (search.hFound != NULL)
            return search.hFound;
        if (Now() > dLimit || ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0)
            throw std::runtime_error(std::string("zodovu.exe did not show its ") + what);
        ::Sleep(2);
    }
}

double ViewerProcess::TimedCommand(int nButton, const std::string& path)
{
    ::PostMessageA(m_hMain, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_hMain, nButton)));
    HWND hDlg = WaitForWindow(IsFileDialog, "file dialog", 30);
    for (int nID : kNameFields)
        if (HWND hField = ::GetDlgItem(hDlg, nID))
            ::SendMessageA(hField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDOK)));
    const double dStart = WaitGone(hDlg, 30);
    HWND hProgress = WaitForWindow(IsProgressWindow, "progress window", 30);
    return WaitGone(hProgress, 600) - dStart;
}

void ViewerProcess::SelectFirstRow()
{
    HWND hList = ::GetDlgItem(m_hMain, IDC_CLIPLIST);
    ::PostMessageA(hList, WM_KEYDOWN, VK_HOME, 1);
    ::PostMessageA(hList, WM_KEYUP, VK_HOME, 0xC0000001);
    const double dLimit = Now() + 10;
    while (::SendMessageA(hList, LVM_GETSELECTEDCOUNT, 0, 0) != 1) {
        if (Now() > dLimit)
            throw std::runtime_error("the first row of zodovu.exe's list could not be selected");
        ::Sleep(2);
    }
}

int ViewerProcess::RowCount() const
{
    return static_cast<int>(::SendMessageA(::GetDlgItem(m_hMain, IDC_CLIPLIST), LVM_GETITEMCOUNT, 0, 0));
}

} // namespace bench
