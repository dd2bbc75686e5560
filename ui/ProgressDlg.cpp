#include "ui/ProgressDlg.h"

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg()
    : m_nLower(0), m_nUpper(100), m_nStep(10), m_bParentDisabled(FALSE)
{
}

CProgressDlg::~CProgressDlg()
{
    if (HasWindow())
        CProgressDlg::DestroyWindow();
}

bool CProgressDlg::HasWindow() const
{
    return m_hWnd != NULL && ::IsWindow(m_hWnd);
}

BOOL CProgressDlg::Create(CWnd* pParent)
{
    m_pParentWnd = CWnd::GetSafeOwner(pParent);
    // An owner that someone else disabled stays theirs to enable.
    if (m_pParentWnd != NULL && m_pParentWnd->IsWindowEnabled()) {
        m_pParentWnd->EnableWindow(FALSE);
        m_bParentDisabled = TRUE;
    }
    if (!CDialog::Create(IDD, pParent)) {
        ReEnableParent();
        return FALSE;
    }
    return TRUE;
}

void CProgressDlg::ReEnableParent()
{
    if (m_bParentDisabled && m_pParentWnd != NULL)
        m_pParentWnd->EnableWindow(TRUE);
    m_bParentDisabled = FALSE;
}

BOOL CProgressDlg::DestroyWindow()
{
    // Enabled first, so that the system activates the owner when this window goes.
    ReEnableParent();
    return CDialog::DestroyWindow();
}

void CProgressDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

BOOL CProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The 16-bit range message: only the low word of each end counts here.
    m_progress.SetRange(static_cast<short>(m_nLower), static_cast<short>(m_nUpper));
    m_progress.SetStep(m_nStep);
    m_progress.SetPos(m_nLower);
    return TRUE;
}

void CProgressDlg::OnOK()
{
}

void CProgressDlg::OnCancel()
{
}

void CProgressDlg::SetStatus(const char* pszText)
{
    if (!HasWindow())
        return;
    SetDlgItemText(IDC_STATUS, pszText);
}

void CProgressDlg::SetRange(int nLower, int nUpper)
{
    if (!HasWindow())
        return;
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_progress.SetRange32(nLower, nUpper);
}

void CProgressDlg::SetPos(int nPos)
{
    if (!HasWindow())
        return;
    PumpMessages();
    // A handler run by the pump may have taken the window down.
    if (!HasWindow())
        return;
    m_progress.SetPos(nPos);
}

void CProgressDlg::PumpMessages()
{
    // Never waits: only what is already queued is handled.
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (!HasWindow() || !IsDialogMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}
