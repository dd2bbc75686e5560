// The application state shared by the window classes. It depends on nothing but
// the application's class definition, so windows and the application do not
// depend on each other.
#include "framework/WndState.h"

#include "framework/WinApp.h"

namespace afx {

CWinApp* g_pApp = nullptr;

CWnd* MainWnd()
{
    return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr;
}

void ForgetMainWnd(const CWnd* pWnd)
{
    if (g_pApp != nullptr && g_pApp->m_pMainWnd == pWnd)
        g_pApp->m_pMainWnd = nullptr;
}

const char* AppName()
{
    return g_pApp != nullptr ? g_pApp->m_pszAppName : nullptr;
}

} // namespace afx

CWinApp* AfxGetApp()
{
    return afx::g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return afx::MainWnd();
}

HINSTANCE AfxGetInstanceHandle()
{
    if (afx::g_pApp != nullptr && afx::g_pApp->m_hInstance != NULL)
        return afx::g_pApp->m_hInstance;
    return ::GetModuleHandleA(NULL);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}
