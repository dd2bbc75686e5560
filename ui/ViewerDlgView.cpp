// The "View" command, and the removal of its temporary clip when the window goes.
#include "ViewerDlg.h"

void CViewerDlg::OnView()
{
}

BOOL CViewerDlg::DestroyWindow()
{
    return CDialog::DestroyWindow();
}
