#pragma once
// The application object and the program's entry. The program defines one global
// object of a class derived from CWinApp; AfxWinMain runs its InitInstance.
#include "framework/Wnd.h"

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CWinApp : public CCmdTarget {
public:
    // pszAppName NULL: the name of the executable without its extension.
    explicit CWinApp(const char* pszAppName = NULL);
    ~CWinApp() override;

    // FALSE ends the program at once (a dialog program runs its window inside);
    // TRUE runs the message loop until WM_QUIT.
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    // The classic name, kept because the program's start-up is written against it;
    // what it does here is register the common control classes the dialogs use
    // (list view, progress bar and the other standard ones). TRUE on success.
    BOOL Enable3dControls();
    // The help command: this program has no help file, so nothing happens.
    void OnHelp();

    CWnd* m_pMainWnd;
    HINSTANCE m_hInstance;
    const char* m_lpCmdLine;
    int m_nCmdShow;
    const char* m_pszAppName;

    DECLARE_MESSAGE_MAP()

private:
    char m_szAppName[MAX_PATH];
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The program's module, also without an application object (as in tests).
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();

// Called by the program's WinMain (framework/WinMain.cpp). Returns the exit code:
// ExitInstance's result, 0 after an InitInstance that returned FALSE.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
