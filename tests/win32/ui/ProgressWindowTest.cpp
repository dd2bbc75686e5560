// The progress window: it holds its owner disabled exactly while it is up, cannot
// be dismissed from the keyboard, keeps the thread's windows serviced when the
// position moves, and takes a 32-bit range.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "TestWindows.h"
#include "ui/ProgressDlg.h"
#include "WinTest.h"

namespace {

class ProgressWindow : public wintest::WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        TestApp();
        m_owner.Create("progress owner");
    }

    HWND Owner() const { return m_owner.m_hWnd; }

    static HWND Bar(const CProgressDlg& dlg) { return GetDlgItem(dlg.m_hWnd, IDC_PROGRESS); }

    static std::string Status(const CProgressDlg& dlg)
    {
        char szText[256] = "";
        GetDlgItemTextA(dlg.m_hWnd, IDC_STATUS, szText, sizeof szText);
        return szText;
    }

    TestMainWindow m_owner;   // the application's main window while the test runs
};

TEST_F(ProgressWindow, DestroyWindowEnablesTheOwnerAgainOnce)
{
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(NULL));
    HWND hWnd = dlg.m_hWnd;
    EXPECT_TRUE(IsWindowVisible(hWnd));
    EXPECT_FALSE(IsWindowEnabled(Owner()));
    EXPECT_EQ(GetWindow(hWnd, GW_OWNER), Owner());

    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_TRUE(IsWindowEnabled(Owner()));

    // Someone else disables the owner now: neither a second DestroyWindow nor the
    // destructor may hand it back.
    EnableWindow(Owner(), FALSE);
    dlg.DestroyWindow();
    EXPECT_FALSE(IsWindowEnabled(Owner()));
}

TEST_F(ProgressWindow, DestructorEnablesTheOwnerAgain)
{
    HWND hWnd = NULL;
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create(NULL));
        hWnd = dlg.m_hWnd;
        EXPECT_FALSE(IsWindowEnabled(Owner()));
    }
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_TRUE(IsWindowEnabled(Owner()));
}

TEST_F(ProgressWindow, DestructorAfterDestroyWindowLeavesTheOwnerAlone)
{
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create(NULL));
        dlg.DestroyWindow();
        EXPECT_TRUE(IsWindowEnabled(Owner()));
        EnableWindow(Owner(), FALSE);
    }
    EXPECT_FALSE(IsWindowEnabled(Owner()));
}

TEST_F(ProgressWindow, AnOwnerThatWasDisabledStaysDisabled)
{
    EnableWindow(Owner(), FALSE);
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create(NULL));
        EXPECT_FALSE(dlg.m_bParentDisabled);
        dlg.DestroyWindow();
        EXPECT_FALSE(IsWindowEnabled(Owner()));
    }
    {
        CProgressDlg dlg;
        ASSERT_TRUE(dlg.Create(NULL));
    }
    EXPECT_FALSE(IsWindowEnabled(Owner()));
}

TEST_F(ProgressWindow, EnterAndEscapeLeaveItUp)
{
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(NULL));
    const UINT keys[] = {VK_RETURN, VK_ESCAPE};
    for (UINT key : keys) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
        // The keys go through the window's own pump, as they would during a scan.
        HWND hTarget = GetFocus() ? GetFocus() : dlg.m_hWnd;
        PostMessageA(hTarget, WM_KEYDOWN, key, 1);
        PostMessageA(hTarget, WM_KEYUP, key, 0xC0000001);
        dlg.SetPos(10);
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, NULL, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) << "key left unhandled";
        EXPECT_TRUE(IsWindow(dlg.m_hWnd));
        EXPECT_TRUE(IsWindowVisible(dlg.m_hWnd));
        EXPECT_FALSE(IsWindowEnabled(Owner()));
    }
    // The commands the keys stand for, sent straight to the window.
    dlg.SendMessage(WM_COMMAND, IDOK, 0);
    dlg.SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(dlg.m_hWnd));
}

TEST_F(ProgressWindow, StartsAtZeroOnZeroToHundredWithTheTemplateStatus)
{
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(NULL));
    PBRANGE range = {};
    SendMessageA(Bar(dlg), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(SendMessageA(Bar(dlg), PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(SendMessageA(Bar(dlg), PBM_SETSTEP, 1, 0), 10);  // answers the step it had
    EXPECT_EQ(Status(dlg), "Scanning %s...");
}

TEST_F(ProgressWindow, RangeAbove65535IsExactThroughSetRange)
{
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(NULL));
    dlg.SetRange(70000, 5000000);
    PBRANGE range = {};
    SendMessageA(Bar(dlg), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 70000);
    EXPECT_EQ(range.iHigh, 5000000);
    EXPECT_EQ(SendMessageA(Bar(dlg), PBM_GETRANGE, FALSE, 0), 5000000);
    EXPECT_EQ(dlg.m_nLower, 70000);
    EXPECT_EQ(dlg.m_nUpper, 5000000);

    dlg.SetPos(4000001);
    EXPECT_EQ(SendMessageA(Bar(dlg), PBM_GETPOS, 0, 0), 4000001);
}

TEST_F(ProgressWindow, RangeGivenBeforeCreationKeepsOnlyItsLowWords)
{
    CProgressDlg dlg;
    dlg.m_nUpper = 70000;
    ASSERT_TRUE(dlg.Create(NULL));
    PBRANGE range = {};
    SendMessageA(Bar(dlg), PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iHigh, 70000 & 0xFFFF);
}

TEST_F(ProgressWindow, SetStatusReplacesTheLineAndSetPosServicesTheQueue)
{
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(NULL));
    dlg.SetStatus("Scanning disc2.pak...");
    EXPECT_EQ(Status(dlg), "Scanning disc2.pak...");

    m_owner.m_nAppMessages = 0;
    PostMessageA(Owner(), WM_APP, 0, 0);
    PostMessageA(Owner(), WM_APP, 0, 0);
    dlg.SetPos(50);
    EXPECT_EQ(m_owner.m_nAppMessages, 2);
    EXPECT_EQ(SendMessageA(Bar(dlg), PBM_GETPOS, 0, 0), 50);
}

TEST_F(ProgressWindow, FailedCreationGivesTheOwnerBackAndIgnoresLaterCalls)
{
    CProgressDlg dlg;
    {
        RefuseDialogCreation refuse;
        EXPECT_FALSE(dlg.Create(NULL));
    }
    EXPECT_TRUE(IsWindowEnabled(Owner()));
    EXPECT_FALSE(dlg.m_bParentDisabled);
    dlg.SetStatus("Scanning x.pak...");
    dlg.SetRange(0, 1000);
    dlg.SetPos(500);
    EXPECT_EQ(dlg.m_nUpper, 100);
    EXPECT_TRUE(IsWindowEnabled(Owner()));
}

TEST_F(ProgressWindow, Screenshot)
{
    CProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(NULL));
    dlg.SetStatus("Scanning disc2.pak...");
    dlg.SetRange(0, 1000);
    dlg.SetPos(420);
    SaveScreenshot(dlg.m_hWnd, "progress-window");
}

}  // namespace
