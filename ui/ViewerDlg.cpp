#include "ui/ViewerDlg.h"

#include "catalogue/ClipTexts.h"
#include "ui/ViewerNames.h"

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
      m_disc(DISC_NONE),
      m_szTempClip(),
      m_szInitialDir(),
      m_szArchivePath(),
      m_clips(),
      m_nResolution(0),
      m_bFullscreen(FALSE),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
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

    SetIcon(m_hIcon, TRUE);

    m_szInitialDir[0] = '\0';
    LocateDataDirectory();
    // The folder only seeds the file dialogs, so the window opens without it.
    if (m_szInitialDir[0] == '\0')
        MessageBox("Could not locate Korvalon.", "Error", MB_ICONEXCLAMATION);

    InsertListColumns();
    m_listClips.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    return TRUE;
}

void CViewerDlg::InsertListColumns()
{
    // The label column is wide and left-aligned; the figures are right-aligned.
    static const int FORMATS[CLIP_COLUMNS] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_RIGHT, LVCFMT_RIGHT};
    static const int WIDTHS[CLIP_COLUMNS] = {110, 45, 45, 45};
    for (int i = 0; i < CLIP_COLUMNS; ++i)
        m_listClips.InsertColumn(i, CLIP_COLUMN_HEADINGS[i], FORMATS[i], WIDTHS[i], i);
}

void CViewerDlg::LocateDataDirectory()
{
    // The game's install key, one level at a time. Read access is all the lookup
    // needs; asking for more fails for users without administrator rights.
    static const char* const KEY_PATH[] = {"software", "Brakkenfold, Inc", "KORVALON", "1.00"};
    const int KEY_DEPTH = 4;

    HKEY ahKeys[KEY_DEPTH];
    int nOpen = 0;
    HKEY hParent = HKEY_LOCAL_MACHINE;
    while (nOpen < KEY_DEPTH
           && ::RegOpenKeyExA(hParent, KEY_PATH[nOpen], 0, KEY_READ, &ahKeys[nOpen]) == ERROR_SUCCESS) {
        hParent = ahKeys[nOpen];
        ++nOpen;
    }
    if (nOpen == KEY_DEPTH)
        ReadDataDrive(ahKeys[KEY_DEPTH - 1]);
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
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CViewerDlg::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

BOOL CViewerDlg::AskForFile(CFileDialog& dlgFile)
{
    dlgFile.m_ofn.lpstrInitialDir = m_szInitialDir;
    if (dlgFile.DoModal() == IDCANCEL)
        return FALSE;
    // The folder keeps its trailing separator; the rest of the buffer is zero.
    const std::string strFolder =
        FolderOfChosenFile(dlgFile.GetPathName().str(), dlgFile.GetFileName().str());
    std::memset(m_szInitialDir, 0, sizeof m_szInitialDir);
    std::snprintf(m_szInitialDir, sizeof m_szInitialDir, "%s", strFolder.c_str());
    return TRUE;
}

int CViewerDlg::GetSelectedClip() const
{
    if (m_listClips.GetSelectedCount() == 0)
        return -1;
    // Rows and table describe one archive; a mark outside it names no clip.
    const int nClip = m_listClips.GetSelectionMark();
    return nClip >= 0 && static_cast<uint32_t>(nClip) < m_clips.nCount ? nClip : -1;
}
