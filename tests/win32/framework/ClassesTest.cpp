// The framework's classes on their own, without windows on the screen:
// message-map lookup and routing, the file dialog's set-up, the error report's
// wording and the program's entry.
#include "TestDialogs.h"
#include "WinTest.h"

#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>
#include <string>

using wintest::WinTest;

namespace {

// The filter as the system reads it: the strings up to the empty one.
std::vector<std::string> FilterStrings(const char* pszFilter)
{
    std::vector<std::string> strings;
    for (const char* p = pszFilter; *p != '\0'; p += std::strlen(p) + 1)
        strings.push_back(p);
    return strings;
}

} // namespace

class MessageMapTest : public WinTest {};

TEST_F(MessageMapTest, DerivedEntryWinsAndBaseEntriesStillReached)
{
    CDerivedFormDlg dlg;
    EXPECT_TRUE(dlg.OnCmdMsg(IDC_ACTION_A, BN_CLICKED));
    EXPECT_EQ(dlg.m_nDerivedA, 1);
    EXPECT_EQ(dlg.m_nA, 0);
    EXPECT_TRUE(dlg.OnCmdMsg(IDC_ACTION_B, BN_CLICKED));
    EXPECT_EQ(dlg.m_nB, 1);
}

TEST_F(MessageMapTest, NotificationsOtherThanTheMappedOneAreNotTaken)
{
    CFormDlg dlg;
    EXPECT_FALSE(dlg.OnCmdMsg(IDC_ACTION_A, BN_DOUBLECLICKED));
    EXPECT_FALSE(dlg.OnCmdMsg(IDC_NAME, EN_CHANGE));
    EXPECT_EQ(dlg.m_nA, 0);
}

TEST_F(MessageMapTest, WindowMessagesAreFoundThroughTheChain)
{
    CDerivedFormDlg dlg;
    LRESULT lResult = 0;
    EXPECT_TRUE(dlg.OnWndMsg(WM_QUERYDRAGICON, 0, 0, &lResult));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(lResult), ::LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
    EXPECT_FALSE(dlg.OnWndMsg(WM_TIMER, 0, 0, &lResult));
}

TEST_F(MessageMapTest, HelpCommandGoesOnToTheApplication)
{
    CFormDlg dlg;
    const int nBefore = TestApp().m_nHelp;
    EXPECT_TRUE(dlg.OnCmdMsg(ID_HELP, 0));
    EXPECT_EQ(TestApp().m_nHelp, nBefore + 1);
    // A notification is the control's business, never the application's.
    EXPECT_FALSE(dlg.OnCmdMsg(ID_HELP, EN_CHANGE));
}

class FileDialogSetupTest : public WinTest {};

TEST_F(FileDialogSetupTest, FilterBarsBecomeNulSeparators)
{
    CFileDialog dlg(TRUE, "pak", "disc2.pak", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "KVN FMV PAK files (*.pak)|*.pak|All files (*.*)|*.*||");
    EXPECT_EQ(FilterStrings(dlg.m_ofn.lpstrFilter),
              (std::vector<std::string>{"KVN FMV PAK files (*.pak)", "*.pak", "All files (*.*)", "*.*"}));
    EXPECT_STREQ(dlg.m_ofn.lpstrDefExt, "pak");
    EXPECT_STREQ(dlg.m_ofn.lpstrFile, "disc2.pak");
    EXPECT_EQ(dlg.m_ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(dlg.m_ofn.Flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), 6u);
    EXPECT_EQ(dlg.m_ofn.lpstrInitialDir, nullptr);
}

TEST_F(FileDialogSetupTest, FilterWithoutClosingBarsStillEndsTwice)
{
    CFileDialog dlg(FALSE, NULL, NULL, OFN_HIDEREADONLY, "Bink files (*.bik)|*.bik");
    const char* p = dlg.m_ofn.lpstrFilter;
    EXPECT_EQ(FilterStrings(p), (std::vector<std::string>{"Bink files (*.bik)", "*.bik"}));
    const size_t nLength = std::strlen("Bink files (*.bik)") + 1 + std::strlen("*.bik");
    EXPECT_EQ(p[nLength], '\0');
    EXPECT_EQ(p[nLength + 1], '\0');
    EXPECT_EQ(dlg.m_ofn.lpstrDefExt, nullptr);
    EXPECT_STREQ(dlg.m_ofn.lpstrFile, "");
}

TEST_F(FileDialogSetupTest, OverlongInitialNameIsCutToThePathBuffer)
{
    const std::string longName(400, 'n');
    CFileDialog dlg(TRUE, NULL, longName.c_str());
    EXPECT_EQ(std::strlen(dlg.m_ofn.lpstrFile), static_cast<size_t>(MAX_PATH - 1));
}

class ErrorReportTextTest : public WinTest {};

TEST_F(ErrorReportTextTest, FileErrorNamesTheFileAndTheReason)
{
    const CFileException e(CFileException::fileNotFound, ERROR_FILE_NOT_FOUND, "D:\\Movies\\disc2.pak");
    const std::string text = AfxGetExceptionReportText(std::make_exception_ptr(e)).str();
    EXPECT_NE(text.find("D:\\Movies\\disc2.pak: " + e.GetReason()), std::string::npos) << text;
    EXPECT_FALSE(e.GetReason().empty());
}

TEST_F(ErrorReportTextTest, OtherExceptionsSayWhatTheyCarry)
{
    EXPECT_NE(AfxGetExceptionReportText(std::make_exception_ptr(CMemoryException())).Find("Not enough memory."), -1);
    EXPECT_NE(AfxGetExceptionReportText(std::make_exception_ptr(std::bad_alloc())).Find("Not enough memory."), -1);
    EXPECT_NE(AfxGetExceptionReportText(std::make_exception_ptr(std::runtime_error("gears"))).Find("gears"), -1);
    EXPECT_NE(AfxGetExceptionReportText(std::make_exception_ptr(42)).Find("unexpected"), -1);
}

class ProgramEntryTest : public WinTest {};

TEST_F(ProgramEntryTest, InitInstanceFalseEndsTheProgramWithZero)
{
    CTestApp& app = TestApp();
    app.m_bInitResult = FALSE;
    const int nRuns = app.m_nInitInstance;
    char szArgs[] = "ignored arguments";
    EXPECT_EQ(AfxWinMain(::GetModuleHandleA(NULL), NULL, szArgs, SW_SHOWNORMAL), 0);
    EXPECT_EQ(app.m_nInitInstance, nRuns + 1);
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleA(NULL));
    EXPECT_STRNE(app.m_pszAppName, "");
}
