// The "..." command: choose an archive, scan it, list its clips.
#include "ui/ViewerDlg.h"

#include "catalogue/ArchiveScanner.h"
#include "catalogue/ClipList.h"
#include "file/ReadAheadFile.h"
#include "ui/ProgressDlg.h"

#include <cstdio>
#include <cstring>

namespace {

// Copies text into a MAX_PATH buffer, cut to fit; the rest of the buffer is zero.
void CopyToPathBuffer(char (&szBuffer)[MAX_PATH], const char* pszText)
{
    std::memset(szBuffer, 0, sizeof szBuffer);
    std::snprintf(szBuffer, sizeof szBuffer, "%s", pszText);
}

} // namespace

void CViewerDlg::OnBrowse()
{
    UpdateData(TRUE);

    CFileDialog dlgFile(TRUE, "pak", m_strArchive, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        "KVN FMV PAK files (*.pak)|*.pak|All files (*.*)|*.*||");
    // The folder moves even when the archive is then refused: the user was there last.
    if (!AskForFile(dlgFile))
        return;

    const CString strPath = dlgFile.GetPathName();
    const CString strName = dlgFile.GetFileName();

    // The loaded archive stays loaded until this one is accepted, so that the rows,
    // the table and the path that "View" and "Extract..." read always agree. The
    // scan fills a table of its own.
    char szPath[MAX_PATH];
    CopyToPathBuffer(szPath, strPath);
    CReadAheadFile archive;   // the scan reads only small headers, far apart
    archive.Open(szPath, CFile::modeRead | CFile::shareDenyNone);   // a failed open throws at GetLength

    // A name too long for the line is cut to fit.
    char szStatus[200];
    std::snprintf(szStatus, sizeof szStatus, "Scanning %s...", static_cast<const char*>(strName));

    CProgressDlg dlgProgress;
    dlgProgress.Create(NULL);
    dlgProgress.SetStatus(szStatus);
    const uint32_t dwLength = archive.GetLength();
    dlgProgress.SetRange(0, static_cast<int>(dwLength));

    const std::string strTitle = archive.GetFileName();
    ClipTable scanned;
    scanned.nCount = 0;
    const ScanResult result =
        ScanArchive(archive, dwLength, IsPublisherArchive(strTitle.c_str()), scanned,
                    [&dlgProgress](uint32_t dwCursor) { dlgProgress.SetPos(static_cast<int>(dwCursor)); });
    if (result == ScanResult::Rejected) {
        // Shown while the progress window still holds this window disabled.
        MessageBox(INVALID_MOVIE_FILE, "Error", MB_ICONEXCLAMATION);
        return;
    }

    const DiscIdentity identity = IdentifyDisc(strTitle.c_str());
    m_disc = identity.disc;
    m_strDisc = identity.label;
    m_strArchive = strName;
    CopyToPathBuffer(m_szArchivePath, szPath);
    m_clips.nCount = scanned.nCount;
    std::memcpy(m_clips.aRecords, scanned.aRecords, scanned.nCount * sizeof(ClipRecord));

    dlgProgress.DestroyWindow();
    archive.Close();

    UpdateData(FALSE);
    FillClipList(m_listClips, m_clips, m_disc);

    static const int STEP_TWO_CONTROLS[] = {IDC_CLIPLIST, IDC_HIRES, IDC_LORES, IDC_VIEW, IDC_EXTRACT};
    for (int nID : STEP_TWO_CONTROLS)
        GetDlgItem(nID)->EnableWindow(TRUE);
}
