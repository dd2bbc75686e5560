// The "Extract..." command and the clip copy it shares with "View".
#include "ViewerDlg.h"

#include "ProgressDlg.h"

void CViewerDlg::ExtractClip(int, const char*, CProgressDlg*)
{
}

void CViewerDlg::OnExtract()
{
}
