// The game's data folder, read from the prefix's registry when the main window
// starts: what each kind of "DataDrive" value gives, and that a missing one is
// reported once without keeping the window from opening.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "GameRegistryKey.h"
#include "ModalDriver.h"
#include "TestWindows.h"
#include "ui/ViewerDlg.h"
#include "WinTest.h"

namespace {

class DataDirectory : public wintest::WinTest {
protected:
    // The folder the lookup finds, starting from an empty one as the window does.
    std::string Located()
    {
        CViewerDlg dlg;   // the folder starts empty
        dlg.LocateDataDirectory();
        return dlg.GetInitialDir();
    }

    GameRegistryKey m_key;
};

TEST_F(DataDirectory, DriveLetterAndColonGivesTheDrivesRoot)
{
    m_key.SetDataDrive("D:");
    EXPECT_EQ(Located(), "D:\\");
}

TEST_F(DataDirectory, FolderGetsOneBackslashAndKeepsTheOneItHas)
{
    m_key.SetDataDrive("E:\\Games\\Korvalon");
    EXPECT_EQ(Located(), "E:\\Games\\Korvalon\\");
    m_key.SetDataDrive("E:\\Games\\Korvalon\\");
    EXPECT_EQ(Located(), "E:\\Games\\Korvalon\\");
    m_key.SetDataDriveRaw(REG_EXPAND_SZ, "D:", 3);
    EXPECT_EQ(Located(), "D:\\");
}

TEST_F(DataDirectory, EmptyOrMissingValueOrKeyGivesNoFolder)
{
    m_key.SetDataDrive("");
    EXPECT_EQ(Located(), "");
    m_key.DeleteDataDrive();
    EXPECT_EQ(Located(), "");
    m_key.DeleteVersionKey();
    EXPECT_EQ(Located(), "");
    m_key.DeleteVendorKey();
    EXPECT_EQ(Located(), "");
}

TEST_F(DataDirectory, ValueThatIsNotTextGivesNoFolder)
{
    DWORD dwNumber = 0x003A44;  // "D:" read as bytes
    m_key.SetDataDriveRaw(REG_DWORD, &dwNumber, sizeof dwNumber);
    EXPECT_EQ(Located(), "");
    m_key.SetDataDriveRaw(REG_BINARY, "D:\\", 4);
    EXPECT_EQ(Located(), "");
}

TEST_F(DataDirectory, ValueThatDoesNotFitWithItsBackslashGivesNoFolder)
{
    // 260 characters fill the buffer without a terminator; 261 do not fit at all.
    std::string full(MAX_PATH, 'a');
    m_key.SetDataDriveRaw(REG_SZ, full.data(), MAX_PATH);
    EXPECT_EQ(Located(), "");
    m_key.SetDataDrive(full + "b");
    EXPECT_EQ(Located(), "");
    // 259 characters fit, but not with the backslash they lack.
    std::string folder = "C:\\" + std::string(MAX_PATH - 4, 'k');
    ASSERT_EQ(folder.size(), 259u);
    m_key.SetDataDrive(folder);
    EXPECT_EQ(Located(), "");
    // One shorter, and there is room for it; one that has it already is kept.
    m_key.SetDataDrive(folder.substr(0, 258));
    EXPECT_EQ(Located(), folder.substr(0, 258) + "\\");
    m_key.SetDataDrive(folder.substr(0, 258) + "\\");
    EXPECT_EQ(Located(), folder.substr(0, 258) + "\\");
}

// Runs the main window modally: answers the "Error" box with OK, and cancels the
// window once it is visible. Returns the boxes it met, as "caption\ntext".
struct ModalRun {
    std::vector<std::string> boxTexts;
    bool bWindowShown = false;
};

ModalRun RunMainWindow(CViewerDlg& dlg, const char* pszScreenshot)
{
    TestApp();
    ModalRun run;
    wintest::ModalDriver driver;
    driver.On("Error", [](HWND hBox) { wintest::ModalDriver::PressButton(hBox, IDOK); });
    ModalWatch watch([&] {
        if (dlg.m_hWnd == NULL || !IsWindowVisible(dlg.m_hWnd))
            return true;
        run.bWindowShown = true;
        if (pszScreenshot)
            SaveScreenshot(dlg.m_hWnd, pszScreenshot);
        ::PostMessageA(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);
        return false;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(watch.TimedOut());
    run.boxTexts = driver.Texts();
    EXPECT_EQ(driver.Count("Error"), static_cast<int>(run.boxTexts.size()));
    return run;
}

TEST_F(DataDirectory, MissingFolderIsReportedOnceAndTheWindowOpensAllTheSame)
{
    m_key.DeleteVendorKey();
    CViewerDlg dlg;
    ModalRun run = RunMainWindow(dlg, "main-window-no-registry");
    ASSERT_EQ(run.boxTexts.size(), 1u);
    EXPECT_EQ(run.boxTexts[0], "Error\nCould not locate Korvalon.");  // caption, then text
    EXPECT_TRUE(run.bWindowShown);
    EXPECT_STREQ(dlg.GetInitialDir(), "");
}

TEST_F(DataDirectory, EmptyValueIsReportedLikeAMissingOne)
{
    m_key.SetDataDrive("");
    CViewerDlg dlg;
    ModalRun run = RunMainWindow(dlg, nullptr);
    ASSERT_EQ(run.boxTexts.size(), 1u);
    EXPECT_EQ(run.boxTexts[0], "Error\nCould not locate Korvalon.");  // caption, then text
    EXPECT_TRUE(run.bWindowShown);
}

TEST_F(DataDirectory, FoundFolderOpensTheWindowWithoutAMessage)
{
    m_key.SetDataDrive("D:");
    CViewerDlg dlg;
    ModalRun run = RunMainWindow(dlg, nullptr);
    EXPECT_TRUE(run.boxTexts.empty());
    EXPECT_TRUE(run.bWindowShown);
    EXPECT_STREQ(dlg.GetInitialDir(), "D:\\");
}

}  // namespace
