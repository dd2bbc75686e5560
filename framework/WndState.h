#pragma once
// State shared by the window classes and the dialog procedure; not for users.
#include <windows.h>

class CWinApp;
class CWnd;

namespace afx {

// The message the dialog procedure is handling now (innermost), for CWnd::Default.
struct CurrentMessage {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const CurrentMessage* pOuter;
    // The system's own processing of this message, chosen by the procedure that
    // dispatches it.
    LRESULT (*pfnDefault)(const CurrentMessage& msg);
};
extern const CurrentMessage* g_pCurrentMessage;

// The application object, if the program has one (WndState.cpp). The window
// classes reach it through these, so that they do not depend on the application.
extern CWinApp* g_pApp;
CWnd* MainWnd();
// Clears the main window when it is pWnd, which is going.
void ForgetMainWnd(const CWnd* pWnd);
// The application's name; NULL without an application object.
const char* AppName();

void RegisterPermanent(HWND hWnd, CWnd* pWnd);
void UnregisterPermanent(HWND hWnd, CWnd* pWnd);
// Detaches the permanent objects of the children of hParent (controls attached by
// data exchange) while the children still exist.
void DetachChildren(HWND hParent);

} // namespace afx
