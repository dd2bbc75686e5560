#include "ViewerDlg.h"

#include "ViewerNames.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

BEGIN_MESSAGE_MAP(CViewerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_EXTRACT, OnExtract)
    ON_BN_CLICKED(IDC_VIEW, OnView)
END_MESSAGE_MAP()

CViewerDlg::CViewerDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_nResolution(0),
      m_bFullscreen(FALSE)
{
    m_szTempClip[0] = '\0';
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CViewerDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CLIPLIST, m_listClips);
    DDX_Radio(pDX, IDC_HIRES, m_nResolution);
    DDX_Text(pDX, IDC_ARCHIVE, m_strArchive);
    DDX_Text(pDX, IDC_DISC, m_strDisc);
    DDX_Check(pDX, IDC_FULLSCREEN, m_bFullscreen);
}

BOOL CViewerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));

    m_szInitialDir[0] = '\0';
    LocateDataDirectory();
    // The folder only seeds the file dialogs, so the window opens without it.
    if (m_szInitialDir[0] == '\0')
        MessageBox("Could not locate Korvalon.", "Error", MB_ICONEXCLAMATION);

    InsertListColumns();
    m_listClips.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    return TRUE;
}

void CViewerDlg::InsertListColumns()
{
    struct Column {
        const char* pszHeading;
        int nFormat;
        int nWidth;
    };
    static const Column kColumns[] = {
        {"Clip", LVCFMT_LEFT, 110},
        {"Length", LVCFMT_RIGHT, 45},
        {"Hi-res", LVCFMT_RIGHT, 45},
        {"Lo-res", LVCFMT_RIGHT, 45},
    };
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = kColumns[i].nFormat;
        column.cx = kColumns[i].nWidth;
        column.pszText = const_cast<char*>(kColumns[i].pszHeading);
        column.iSubItem = i;
        m_listClips.SendMessage(LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void CViewerDlg::LocateDataDirectory()
{
    // The game's install key, one level at a time. Read access is all the lookup
    // needs; asking for more fails for users without administrator rights.
    static const char* const kKeyPath[] = {"software", "Brakkenfold, Inc", "KORVALON", "1.00"};
    const int kDepth = 4;

    HKEY ahKeys[kDepth];
    int nOpen = 0;
    HKEY hParent = HKEY_LOCAL_MACHINE;
    while (nOpen < kDepth
           && ::RegOpenKeyExA(hParent, kKeyPath[nOpen], 0, KEY_READ, &ahKeys[nOpen]) == ERROR_SUCCESS) {
        hParent = ahKeys[nOpen];
        ++nOpen;
    }
    if (nOpen == kDepth)
        ReadDataDrive(ahKeys[kDepth - 1]);
    while (nOpen > 0)
        ::RegCloseKey(ahKeys[--nOpen]);
}

void CViewerDlg::ReadDataDrive(HKEY hKey)
{
    char szValue[MAX_PATH];
    DWORD dwType = 0;
    DWORD cbData = sizeof szValue;
    if (::RegQueryValueExA(hKey, "DataDrive", NULL, &dwType, reinterpret_cast<BYTE*>(szValue), &cbData)
        != ERROR_SUCCESS)
        return;
    // Anything but text is no folder. Text may be stored without its terminator:
    // it then ends with its data, unless those fill the whole buffer.
    if (dwType != REG_SZ && dwType != REG_EXPAND_SZ)
        return;
    if (cbData < sizeof szValue)
        szValue[cbData] = '\0';
    else if (std::memchr(szValue, '\0', sizeof szValue) == NULL)
        return;

    size_t nLength = std::strlen(szValue);
    if (nLength > 0 && szValue[nLength - 1] != '\\') {
        // A folder that has no room left for its backslash is not usable either.
        if (nLength + 1 >= sizeof szValue)
            return;
        szValue[nLength++] = '\\';
        szValue[nLength] = '\0';
    }
    std::memcpy(m_szInitialDir, szValue, nLength + 1);
}

void CViewerDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    ::DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
}

HCURSOR CViewerDlg::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

void CViewerDlg::RememberFolderOf(const CFileDialog& dlgFile)
{
    // The folder keeps its trailing separator; the rest of the buffer is zero.
    const std::string strFolder =
        FolderOfChosenFile(dlgFile.GetPathName().str(), dlgFile.GetFileName().str());
    std::memset(m_szInitialDir, 0, sizeof m_szInitialDir);
    std::snprintf(m_szInitialDir, sizeof m_szInitialDir, "%s", strFolder.c_str());
}
