#include "ui/ViewerApp.h"

#include "ui/ViewerDlg.h"

BEGIN_MESSAGE_MAP(CViewerApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CViewerApp theApp;

CViewerApp::CViewerApp()
{
}

BOOL CViewerApp::InitInstance()
{
    Enable3dControls();

    CViewerDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();   // however it ended, the program ends with it
    // The window object goes with this frame: leave no pointer to it behind.
    m_pMainWnd = NULL;
    return FALSE;
}
