// The "Extract..." command and the clip copy it shares with "View".
#include "ui/ViewerDlg.h"

#include "output/ClipCopy.h"
#include "output/ClipNames.h"
#include "ui/ProgressDlg.h"
#include "ui/ViewerNames.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

namespace {

// The output's title as the system displays it. A title that needs more than the
// 100-character buffer becomes the file name cut to 99 characters.
void GetDisplayedTitle(const char* pszPath, char (&szTitle)[100])
{
    if (::GetFileTitleA(pszPath, szTitle, sizeof szTitle) == 0)
        return;
    std::snprintf(szTitle, sizeof szTitle, "%s", FileTitleOf(pszPath));
}

} // namespace

void CViewerDlg::ExtractClip(int nClip, const char* pszOutput, CProgressDlg* pProgress)
{
    UpdateData(TRUE);

    // The opens are not tested: a failed one throws at the first operation on its file.
    CFile archive;
    archive.Open(m_szArchivePath, CFile::modeRead | CFile::shareDenyNone);
    CFile output;
    output.Open(pszOutput, CFile::modeCreate | CFile::modeWrite);   // exclusive while open

    const ClipSpan span = GetClipSpan(m_clips.aRecords[nClip], ResolutionFromIndex(m_nResolution));
    // An archive that did not open fails here, before the status line is set.
    archive.Seek(static_cast<int32_t>(span.offset), CFile::begin);

    char szTitle[100];
    GetDisplayedTitle(pszOutput, szTitle);
    char szStatus[sizeof "Extracting " + sizeof szTitle + sizeof "..."];
    std::snprintf(szStatus, sizeof szStatus, "Extracting %s...", szTitle);
    pProgress->SetRange(0, static_cast<int>(span.size));
    pProgress->SetStatus(szStatus);

    // An archive that ends before the clip does, or no copy buffer, throws: the
    // framework reports it, and the output keeps only bytes that were really read.
    CopyClipBytes(archive, span.offset, span.size, output,
                  [pProgress](uint32_t dwCopied) { pProgress->SetPos(static_cast<int>(dwCopied)); });

    output.Close();
    archive.Close();
}

void CViewerDlg::OnExtract()
{
    const int nClip = GetSelectedClip();
    if (nClip < 0)
        return;
    UpdateData(TRUE);

    char szOutput[MAX_PATH];
    std::snprintf(szOutput, sizeof szOutput, "%s", ProposedClipName(nClip, ResolutionFromIndex(m_nResolution)).c_str());

    CFileDialog dlgFile(FALSE, "bik", szOutput, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        "Bink files (*.bik)|*.bik|All files (*.*)|*.*||");
    if (!AskForFile(dlgFile))
        return;

    std::snprintf(szOutput, sizeof szOutput, "%s", static_cast<const char*>(dlgFile.GetPathName()));

    CProgressDlg dlgProgress;
    dlgProgress.Create(NULL);
    ExtractClip(nClip, szOutput, &dlgProgress);
    dlgProgress.DestroyWindow();
}
