// The real zodovu.exe: it opens its window and ends whichever way the window is
// closed, and arguments on its command line change nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "BuildPaths.h"
#include "GameRegistryKey.h"
#include "ui/res/resource.h"
#include "WinTest.h"

namespace {

class RunningViewer {
public:
    explicit RunningViewer(const std::string& arguments)
    {
        std::string commandLine = "\"" + ViewerProgramPath() + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        m_bStarted = CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_pi) != FALSE;
    }

    ~RunningViewer()
    {
        if (!m_bStarted)
            return;
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_pi.hProcess, 99);
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }

    // The program's main window once it is visible; NULL after 20 s.
    HWND WaitForWindow()
    {
        for (int i = 0; i < 400 && m_bStarted; ++i) {
            m_hWnd = NULL;
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(this));
            if (m_hWnd)
                return m_hWnd;
            Sleep(50);
        }
        return NULL;
    }

    // The control that has the keyboard focus in the program's window.
    HWND Focus() const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(m_pi.dwThreadId, &info);
        return info.hwndFocus ? info.hwndFocus : m_hWnd;
    }

    void PressKey(UINT vk) const
    {
        HWND hFocus = Focus();
        PostMessageA(hFocus, WM_KEYDOWN, vk, 1);
        PostMessageA(hFocus, WM_KEYUP, vk, 0xC0000001);
    }

    // True when the process ended within 20 s; its exit code in *pdwCode.
    bool Ended(DWORD* pdwCode) const
    {
        if (WaitForSingleObject(m_pi.hProcess, 20000) != WAIT_OBJECT_0)
            return false;
        GetExitCodeProcess(m_pi.hProcess, pdwCode);
        return true;
    }

    static BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam)
    {
        auto* pThis = reinterpret_cast<RunningViewer*>(lParam);
        DWORD dwProcess = 0;
        GetWindowThreadProcessId(hWnd, &dwProcess);
        char szTitle[64] = "";
        GetWindowTextA(hWnd, szTitle, sizeof szTitle);
        if (dwProcess == pThis->m_pi.dwProcessId && IsWindowVisible(hWnd) && strcmp(szTitle, "Korvalon FMV viewer") == 0) {
            pThis->m_hWnd = hWnd;
            return FALSE;
        }
        return TRUE;
    }

    bool m_bStarted = false;
    HWND m_hWnd = NULL;
    PROCESS_INFORMATION m_pi = {};
};

class ProgramEnd : public wintest::WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        m_key.SetDataDrive("C:\\");
    }

    // Starts the program, closes its window with close, and checks that it ended.
    void ExpectEndsOn(const std::function<void(RunningViewer&)>& close, const std::string& arguments = "")
    {
        RunningViewer viewer(arguments);
        ASSERT_TRUE(viewer.m_bStarted) << ViewerProgramPath();
        ASSERT_NE(viewer.WaitForWindow(), nullptr);
        close(viewer);
        DWORD dwCode = 1;
        EXPECT_TRUE(viewer.Ended(&dwCode));
        EXPECT_EQ(dwCode, 0u);
    }

    GameRegistryKey m_key;
};

TEST_F(ProgramEnd, EndsOnExit)
{
    ExpectEndsOn([](RunningViewer& viewer) {
        PostMessageA(GetDlgItem(viewer.m_hWnd, IDCANCEL), BM_CLICK, 0, 0);
    });
}

TEST_F(ProgramEnd, EndsOnEscape)
{
    ExpectEndsOn([](RunningViewer& viewer) { viewer.PressKey(VK_ESCAPE); });
}

TEST_F(ProgramEnd, EndsOnEnter)
{
    ExpectEndsOn([](RunningViewer& viewer) { viewer.PressKey(VK_RETURN); });
}

TEST_F(ProgramEnd, EndsOnTheCloseBox)
{
    ExpectEndsOn([](RunningViewer& viewer) { PostMessageA(viewer.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

TEST_F(ProgramEnd, ArgumentsChangeNothing)
{
    ExpectEndsOn(
        [](RunningViewer& viewer) {
            char szArchive[64] = "x";
            GetDlgItemTextA(viewer.m_hWnd, IDC_ARCHIVE, szArchive, sizeof szArchive);
            EXPECT_STREQ(szArchive, "");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(viewer.m_hWnd, IDC_VIEW)));
            EXPECT_EQ(SendDlgItemMessageA(viewer.m_hWnd, IDC_CLIPLIST, 0x1004 /* LVM_GETITEMCOUNT */, 0, 0), 0);
            PostMessageA(GetDlgItem(viewer.m_hWnd, IDCANCEL), BM_CLICK, 0, 0);
        },
        "C:\\disc2.pak /fullscreen --help");
}

}  // namespace
