#include "TestDialogs.h"

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

namespace {
CTestApp theTestApp;
}

CTestApp& TestApp()
{
    return theTestApp;
}

BOOL CTestApp::InitInstance()
{
    ++m_nInitInstance;
    return m_bInitResult;
}

BEGIN_MESSAGE_MAP(CFormDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_ACTION_A, OnActionA)
    ON_BN_CLICKED(IDC_ACTION_B, CFormDlg::OnActionB)
    ON_BN_CLICKED(IDC_FAIL, OnFail)
    ON_BN_CLICKED(IDC_COUNT, OnCount)
END_MESSAGE_MAP()

void CFormDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST, m_list);
    DDX_Control(pDX, IDC_BAR, m_bar);
    DDX_Radio(pDX, IDC_FIRST, m_nChoice);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Check(pDX, IDC_FLAG, m_bFlag);
}

void CFormDlg::OnOK()
{
    ++m_nOK;
    CDialog::OnOK();
}

BOOL CFormDlg::DestroyWindow()
{
    ++m_nDestroyWindow;
    return CDialog::DestroyWindow();
}

void CFormDlg::OnPaint()
{
    ++m_nPaint;
    Default();
}

BEGIN_MESSAGE_MAP(CDerivedFormDlg, CFormDlg)
    ON_BN_CLICKED(IDC_ACTION_A, OnDerivedA)
END_MESSAGE_MAP()

CHolderDlg::~CHolderDlg()
{
    if (m_hWnd != NULL)
        CHolderDlg::DestroyWindow();
}

BOOL CHolderDlg::Open()
{
    m_pParentWnd = GetSafeOwner(NULL);
    if (m_pParentWnd != NULL && m_pParentWnd->IsWindowEnabled()) {
        m_pParentWnd->EnableWindow(FALSE);
        m_bOwnerDisabled = true;
    }
    return Create(IDD_TEST_HOLDER);
}

BOOL CHolderDlg::DestroyWindow()
{
    if (m_bOwnerDisabled && m_pParentWnd != NULL)
        m_pParentWnd->EnableWindow(TRUE);
    m_bOwnerDisabled = false;
    return CDialog::DestroyWindow();
}
