// The "View" command, and the removal of its temporary clip when the window goes.
#include "ui/ViewerDlg.h"

#include "ui/ProgressDlg.h"
#include "ui/ViewerNames.h"

#include <shellapi.h>

#include <cstring>

namespace {

const char PLAYER_NOT_FOUND[] =
    "Binkplay.exe could not be found. Make sure the file\nis in the same directory as zodovu.exe";
const char CANNOT_VIEW[] = "Could not view clip.";
const char FOLDER_TOO_LONG[] =
    "The folder of zodovu.exe has too long a path to view clips from it.\n"
    "Move zodovu.exe and binkplay.exe to a folder with a shorter path.";

// ShellExecuteA reports these numbers through its instance handle.
const INT_PTR SHELL_FILE_NOT_FOUND = 2;
const INT_PTR SHELL_LAST_ERROR = 32;

} // namespace

void CViewerDlg::OnView()
{
    const int nClip = GetSelectedClip();
    if (nClip < 0)
        return;
    UpdateData(TRUE);

    char szModule[MAX_PATH];
    const DWORD nModule = ::GetModuleFileNameA(NULL, szModule, sizeof szModule);
    if (nModule == 0) {
        MessageBox(CANNOT_VIEW, "Error", MB_ICONEXCLAMATION);
        return;
    }
    // A full buffer means the path was cut short (and perhaps left unterminated).
    PlayerCommand command;
    if (nModule >= sizeof szModule
        || !BuildPlayerCommand(ToolFolderOf(szModule), m_bFullscreen != FALSE,
                               ResolutionFromIndex(m_nResolution), command)) {
        MessageBox(FOLDER_TOO_LONG, "Error", MB_ICONEXCLAMATION);
        return;
    }

    // BuildPlayerCommand has checked that each string fits its buffer.
    char szTempClip[MAX_PATH];
    char szPlayer[MAX_PATH];
    char szParameters[MAX_PATH];
    std::strcpy(szTempClip, command.tempClip.c_str());
    std::strcpy(szPlayer, command.player.c_str());
    std::strcpy(szParameters, command.parameters.c_str());

    // Remembered before the copy, so that even a copy that fails half-way leaves
    // the file to be removed when the window goes.
    std::strcpy(m_szTempClip, szTempClip);

    // A copy that fails throws: the command ends here, the progress window goes
    // with its destructor, and no player is started on a broken clip.
    CProgressDlg dlgProgress;
    dlgProgress.Create(NULL);
    ExtractClip(nClip, szTempClip, &dlgProgress);
    dlgProgress.DestroyWindow();

    const INT_PTR nResult = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(m_hWnd, "open", szPlayer, szParameters, NULL, SW_SHOWNORMAL));
    if (nResult <= SHELL_LAST_ERROR)
        MessageBox(nResult == SHELL_FILE_NOT_FOUND ? PLAYER_NOT_FOUND : CANNOT_VIEW, "Error", MB_ICONEXCLAMATION);
}

BOOL CViewerDlg::DestroyWindow()
{
    if (m_szTempClip[0] != '\0') {
        try {
            CFile::Remove(m_szTempClip);
        } catch (const CFileException&) {
            // Not reported: the program is closing, and the file is either gone
            // already or still held by a player the user left open. A message
            // here could only delay the end, and the next run's View writes over
            // the file and removes it in turn.
        }
    }
    return CDialog::DestroyWindow();
}
