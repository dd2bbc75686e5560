// The "..." command: choose an archive, scan it, list its clips.
#include "ViewerDlg.h"

void CViewerDlg::OnBrowse()
{
}
