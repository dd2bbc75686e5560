// The one place where the system calls into the framework's C++ code. Every
// handler runs inside a try here: an exception ends the command (its locals have
// unwound by the time it arrives), is reported, and the program goes on. Nothing
// may leave a window procedure: with this toolchain that ends the process.
#include "framework/Dialog.h"
#include "framework/ExceptionReport.h"
#include "framework/WndState.h"

namespace {

// The messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

// The message CallDefDlgProc hands to DefDlgProcA: the dialog procedure then
// leaves it to the system instead of dispatching it again.
const afx::CurrentMessage* g_pDefaultMessage = nullptr;

bool IsDefaultMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const afx::CurrentMessage* p = g_pDefaultMessage;
    return p != nullptr && p->hWnd == hWnd && p->message == message && p->wParam == wParam && p->lParam == lParam;
}

// CWnd::Default for a dialog. DefDlgProcA calls the dialog procedure first; it
// lets this one message pass.
LRESULT CallDefDlgProc(const afx::CurrentMessage& msg)
{
    const afx::CurrentMessage* pOuter = g_pDefaultMessage;
    g_pDefaultMessage = &msg;
    const LRESULT lResult = ::DefDlgProcA(msg.hWnd, msg.message, msg.wParam, msg.lParam);
    g_pDefaultMessage = pOuter;
    return lResult;
}

} // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // CWnd::Default hands this message to the system's dialog processing.
    if (IsDefaultMessage(hWnd, message, wParam, lParam))
        return FALSE;

    CDialog* pDlg = message == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam)
                                             : reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (pDlg == nullptr)
        return FALSE;

    const afx::CurrentMessage current = { hWnd, message, wParam, lParam, afx::g_pCurrentMessage, CallDefDlgProc };
    afx::g_pCurrentMessage = &current;
    LRESULT lResult = 0;
    BOOL bHandled = FALSE;
    try {
        bHandled = pDlg->Dispatch(message, wParam, lParam, &lResult);
    } catch (...) {
        bHandled = TRUE;
        lResult = message == WM_INITDIALOG ? TRUE : 0;
        AfxReportException(std::current_exception(), hWnd);
    }
    afx::g_pCurrentMessage = current.pOuter;

    if (message == WM_NCDESTROY) {
        pDlg->HandleNcDestroy();
        return FALSE;
    }
    if (!bHandled)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(lResult);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}
