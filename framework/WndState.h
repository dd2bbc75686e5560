#pragma once
// State shared by the window classes and the dialog procedure; not for users.
#include <windows.h>

class CWnd;

namespace afx {

// The message the dialog procedure is handling now (innermost), for CWnd::Default.
struct CurrentMessage {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const CurrentMessage* pOuter;
};
extern const CurrentMessage* g_pCurrentMessage;
// The message CWnd::Default hands back to DefDlgProcA: the dialog procedure then
// leaves it to the system instead of dispatching it again.
extern const CurrentMessage* g_pDefaultMessage;

void RegisterPermanent(HWND hWnd, CWnd* pWnd);
void UnregisterPermanent(HWND hWnd, CWnd* pWnd);
// Detaches the permanent objects of the children of hParent (controls attached by
// data exchange) while the children still exist.
void DetachChildren(HWND hParent);

} // namespace afx
