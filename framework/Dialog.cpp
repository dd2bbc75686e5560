#include "framework/Dialog.h"

#include "framework/WinApp.h"
#include "framework/WndState.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() : m_pParentWnd(NULL), m_nIDTemplate(0)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_pParentWnd(pParentWnd), m_nIDTemplate(nIDTemplate)
{
}

CDialog::~CDialog()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd)) {
        // The window must not reach this object any more while it goes.
        HWND hWnd = m_hWnd;
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        afx::DetachChildren(hWnd);
        Detach();
        ::DestroyWindow(hWnd);
    }
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (pParentWnd == NULL)
        pParentWnd = AfxGetMainWnd();
    m_nIDTemplate = nIDTemplate;
    HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDTemplate),
                                     GetSafeHwnd(pParentWnd), DialogProc, reinterpret_cast<LPARAM>(this));
    return hWnd != NULL;
}

int CDialog::DoModal()
{
    HWND hWndTop = NULL;
    HWND hWndOwner = GetSafeOwner_(GetSafeHwnd(m_pParentWnd), &hWndTop);
    // The system disables the owner for the modal loop and enables it at the end.
    const INT_PTR nResult = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hWndOwner,
                                              DialogProc, reinterpret_cast<LPARAM>(this));
    if (hWndTop != NULL)
        ::EnableWindow(hWndTop, TRUE);
    return static_cast<int>(nResult);
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode)
{
    if (CWnd::OnCmdMsg(nID, nCode))
        return TRUE;
    // Commands (not notifications) go on to the application, as ID_HELP does.
    CWinApp* pApp = AfxGetApp();
    return nCode == 0 && pApp != nullptr && pApp->OnCmdMsg(nID, nCode);
}

BOOL CDialog::HandleInitDialog(HWND hWnd)
{
    Attach(hWnd);
    ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    CRect rcBefore;
    GetWindowRect(&rcBefore);
    const BOOL bResult = OnInitDialog();
    // Centred like the classic framework: only a hidden pop-up that was not moved.
    CRect rcAfter;
    GetWindowRect(&rcAfter);
    if (m_hWnd != NULL && !(GetStyle() & WS_CHILD) && !::IsWindowVisible(m_hWnd) &&
        ::EqualRect(&rcBefore, &rcAfter))
        CenterWindow();
    return bResult;
}

void CDialog::HandleDestroy()
{
    // Destroyed by the system (the end of a modal loop, or with the owner): the
    // override of DestroyWindow still runs once, and the base call inside it finds
    // the window already on its way.
    if (!m_bDestroying) {
        m_bDestroying = true;
        DestroyWindow();
        m_bDestroying = false;
    }
}

void CDialog::HandleNcDestroy()
{
    ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
    Detach();
    afx::ForgetMainWnd(this);
}

BOOL CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_INITDIALOG:
        *pResult = HandleInitDialog(afx::g_pCurrentMessage->hWnd);
        return TRUE;
    case WM_HELP:
        // F1: the help command, through this dialog's map and then the application's.
        if (OnCmdMsg(ID_HELP, 0)) {
            *pResult = TRUE;
            return TRUE;
        }
        break;
    default:
        break;
    }
    if (message == WM_DESTROY)
        HandleDestroy();
    const BOOL bHandled = OnWndMsg(message, wParam, lParam, pResult);
    if (message == WM_DESTROY)
        afx::DetachChildren(m_hWnd);
    return bHandled;
}
