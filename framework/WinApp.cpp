#include "framework/WinApp.h"

#include "framework/ExceptionReport.h"
#include "framework/WndState.h"

#include <commctrl.h>
#include <cstring>

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* pszAppName)
    : m_pMainWnd(nullptr), m_hInstance(NULL), m_lpCmdLine(""), m_nCmdShow(SW_SHOWDEFAULT), m_pszAppName(pszAppName)
{
    m_szAppName[0] = '\0';
    afx::g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (afx::g_pApp == this)
        afx::g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, NULL, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ExitInstance();
    return static_cast<int>(msg.wParam);
}

int CWinApp::ExitInstance()
{
    return 0;
}

BOOL CWinApp::Enable3dControls()
{
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;
    return ::InitCommonControlsEx(&icc);
}

void CWinApp::OnHelp()
{
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine != NULL ? lpCmdLine : "";
    pApp->m_nCmdShow = nCmdShow;
    if (pApp->m_pszAppName == NULL) {
        char szPath[MAX_PATH] = "";
        ::GetModuleFileNameA(hInstance, szPath, MAX_PATH);
        szPath[MAX_PATH - 1] = '\0';
        const char* pszName = std::strrchr(szPath, '\\');
        pszName = pszName != nullptr ? pszName + 1 : szPath;
        std::strncpy(pApp->m_szAppName, pszName, MAX_PATH - 1);
        pApp->m_szAppName[MAX_PATH - 1] = '\0';
        if (char* pszDot = std::strrchr(pApp->m_szAppName, '.'))
            *pszDot = '\0';
        pApp->m_pszAppName = pApp->m_szAppName;
    }

    // Code outside any window procedure (InitInstance itself) is guarded too.
    try {
        if (!pApp->InitInstance()) {
            if (pApp->m_pMainWnd != nullptr)
                pApp->m_pMainWnd->DestroyWindow();
            return pApp->ExitInstance();
        }
        return pApp->Run();
    } catch (...) {
        AfxReportException(std::current_exception(), NULL);
        return -1;
    }
}
