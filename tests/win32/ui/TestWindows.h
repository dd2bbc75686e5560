#pragma once
// Small pieces the window tests share: a stand-in main window, a way to make
// dialog creation fail, and a way to act inside a modal loop.
// Window texts and screenshots come from the harness (WindowText.h, Screenshot.h).
#include "framework/Afx.h"

#include <functional>
#include <string>

#include "Screenshot.h"
#include "WindowText.h"

using wintest::SaveScreenshot;
using wintest::WindowText;

// A plain top-level window, made the application's main window while it lives.
// It counts the WM_APP messages it receives.
class TestMainWindow {
public:
    TestMainWindow() = default;
    ~TestMainWindow();
    TestMainWindow(const TestMainWindow&) = delete;
    TestMainWindow& operator=(const TestMainWindow&) = delete;

    void Create(const char* pszTitle);

    HWND m_hWnd = NULL;
    int m_nAppMessages = 0;

private:
    CWnd m_wnd;
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// The test program's application object (the viewer's own is not linked in).
CWinApp& TestApp();

// While in scope, no dialog window can be created on this thread.
class RefuseDialogCreation {
public:
    RefuseDialogCreation();
    ~RefuseDialogCreation();

private:
    HHOOK m_hHook;
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam);
};

// Calls step every 50 ms from whatever message loop this thread runs, until it
// returns false or the watch ends; a step that is still asked for after 20 s
// ends the wait with a failure, so that a test never hangs.
class ModalWatch {
public:
    explicit ModalWatch(std::function<bool()> step);
    ~ModalWatch();
    bool TimedOut() const { return m_bTimedOut; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    std::function<bool()> m_step;
    UINT_PTR m_nTimer;
    DWORD m_dwStart;
    bool m_bTimedOut = false;
    bool m_bRunning = false;
};
