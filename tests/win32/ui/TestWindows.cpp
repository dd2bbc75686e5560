#include "TestWindows.h"

#include <gtest/gtest.h>

#include <vector>

CWinApp& TestApp()
{
    static CWinApp app("zodovu tests");
    static BOOL bControls = app.Enable3dControls();  // the list view and progress bar classes
    (void)bControls;
    return app;
}

TestMainWindow::~TestMainWindow()
{
    if (TestApp().m_pMainWnd == &m_wnd)
        TestApp().m_pMainWnd = NULL;
    m_wnd.Detach();
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

void TestMainWindow::Create(const char* pszTitle)
{
    static ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hCursor = LoadCursor(NULL, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "ZodovuTestMainWindow";
        return RegisterClassA(&wc);
    }();
    (void)atom;
    m_hWnd = CreateWindowExA(0, "ZodovuTestMainWindow", pszTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300,
                             NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(m_hWnd, nullptr);
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_wnd.Attach(m_hWnd);
    TestApp().m_pMainWnd = &m_wnd;
}

LRESULT CALLBACK TestMainWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        auto* pThis = reinterpret_cast<TestMainWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (pThis)
            ++pThis->m_nAppMessages;
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

namespace {
HHOOK g_hRefuseHook = NULL;
ModalWatch* g_pWatch = nullptr;
}  // namespace

RefuseDialogCreation::RefuseDialogCreation()
{
    m_hHook = SetWindowsHookExA(WH_CBT, Hook, NULL, GetCurrentThreadId());
    g_hRefuseHook = m_hHook;
}

RefuseDialogCreation::~RefuseDialogCreation()
{
    UnhookWindowsHookEx(m_hHook);
    g_hRefuseHook = NULL;
}

LRESULT CALLBACK RefuseDialogCreation::Hook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND) {
        auto* pCreate = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        LPCSTR pszClass = pCreate->lpcs->lpszClass;
        if (IS_INTRESOURCE(pszClass) && reinterpret_cast<ULONG_PTR>(pszClass) == 32770)
            return 1;  // creation refused
    }
    return CallNextHookEx(g_hRefuseHook, nCode, wParam, lParam);
}

ModalWatch::ModalWatch(std::function<bool()> step)
    : m_step(std::move(step)), m_dwStart(GetTickCount())
{
    g_pWatch = this;
    m_nTimer = SetTimer(NULL, 0, 50, OnTimer);
}

ModalWatch::~ModalWatch()
{
    KillTimer(NULL, m_nTimer);
    g_pWatch = nullptr;
}

void CALLBACK ModalWatch::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    ModalWatch* pThis = g_pWatch;
    // A step may open a modal loop of its own, in which this timer goes on firing.
    if (pThis == nullptr || pThis->m_bRunning || !pThis->m_step)
        return;
    if (GetTickCount() - pThis->m_dwStart > 20000) {
        pThis->m_bTimedOut = true;
        pThis->m_step = nullptr;
        ADD_FAILURE() << "a window waited for more than 20 s; closing it";
        // Whatever is modal now gets cancelled, so that the test ends.
        HWND hActive = GetActiveWindow();
        if (hActive)
            PostMessageA(hActive, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    pThis->m_bRunning = true;
    bool bMore = pThis->m_step();
    pThis->m_bRunning = false;
    if (!bMore)
        pThis->m_step = nullptr;
}
