// "View" from other tool folders: a copy of this test program runs there with
// one inner test (disabled here, so that it runs only in the copy), and the
// outer test looks at what it left: the player's log, the clip file.
#include "CommandSession.h"
#include "ScratchFolder.h"
#include "ViewFixtures.h"
#include "WinTest.h"

#include <gtest/gtest.h>

#include <string>

using namespace viewtest;

namespace {

const char PLAYER_NOT_FOUND[] =
    "Binkplay.exe could not be found. Make sure the file\nis in the same directory as zodovu.exe";

// The tool's own folder needs room for "~clip.bik", two quotes and the
// full-screen options in each 260-character buffer.
const size_t kLongestToolFolder = 237;

class ToolFolder : public wintest::WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        PrepareDataFolder(m_scratch);
    }

    testsupport::ScratchFolder m_scratch;
    testsupport::ArchiveBuilder m_archive = ViewArchive();
};

TEST_F(ToolFolder, WithBlanksThePlayerGetsTheQuotedClipPath)
{
    const std::string folder = MakeToolFolder(m_scratch, "tool folder", true);
    PlayerLog log(folder);
    ASSERT_TRUE(RunInnerTest(m_scratch, folder, "ViewsWindowed"));

    // The full-screen options that may follow the quoted path are the view tests' concern.
    const std::vector<PlayerRun> runs = log.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].parameters, "\"" + folder + "~clip.bik\"");
    EXPECT_EQ(runs[0].clipSize, m_archive.Clips()[2].loSize);
    EXPECT_NE(runs[0].commandLine.find(folder + "binkplay.exe"), std::string::npos) << runs[0].commandLine;
    EXPECT_EQ(FileSize(TempClipIn(folder)), -1);
}

TEST_F(ToolFolder, WithoutThePlayerTheClipIsWrittenAndTheMissingPlayerNamed)
{
    const std::string folder = MakeToolFolder(m_scratch, "no player", false);
    ASSERT_TRUE(RunInnerTest(m_scratch, folder, "ReportsTheMissingPlayer"));
    EXPECT_EQ(FileSize(TempClipIn(folder)), -1);
}

TEST_F(ToolFolder, TooLongForThePathBuffersIsReportedBeforeAnyCopy)
{
    // Long enough that the full-screen parameters would not fit, short enough
    // that the copy's own path still does.
    const size_t nWanted = kLongestToolFolder + 3;
    if (m_scratch.Path().size() + 8 > nWanted)
        GTEST_SKIP() << "the scratch folder is too long already";
    std::string name = "long";
    while (m_scratch.Path().size() + name.size() + 1 < nWanted)
        name += name.size() % 100 == 99 ? '\\' : 'x';
    const std::string folder = MakeToolFolder(m_scratch, name, true);
    ASSERT_EQ(folder.size(), nWanted);

    PlayerLog log(folder);
    ASSERT_TRUE(RunInnerTest(m_scratch, folder, "RefusesTheFolder"));
    EXPECT_TRUE(log.NoneStarted());
    EXPECT_EQ(FileSize(TempClipIn(folder)), -1);
}

// --- run only in the copies ---

class DISABLED_InToolFolder : public wintest::WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        m_data = DataFolderForChild();
        ASSERT_FALSE(m_data.empty());
    }

    std::string m_data;
    testsupport::ArchiveBuilder m_archive = ViewArchive();
};

TEST_F(DISABLED_InToolFolder, ViewsWindowed)
{
    CommandSession session(m_data);
    PlayerLog log(OwnFolder());
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        Choose(session, 2, true, false);
        ASSERT_TRUE(session.Click(IDC_VIEW));
        ASSERT_TRUE(log.WaitForRuns(1));
    });
}

TEST_F(DISABLED_InToolFolder, ReportsTheMissingPlayer)
{
    CommandSession session(m_data);
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        Choose(session, 1, true, false);
        ASSERT_TRUE(session.Click(IDC_VIEW));

        const std::vector<CommandSession::BoxSeen> boxes = session.TakeBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, std::string("Error\n") + PLAYER_NOT_FOUND);
        EXPECT_FALSE(boxes[0].bProgressUp);
        EXPECT_EQ(FileSize(TempClipIn(OwnFolder())), m_archive.Clips()[1].loSize);
        EXPECT_TRUE(session.IsEnabled(0));
    });
}

TEST_F(DISABLED_InToolFolder, RefusesTheFolder)
{
    CommandSession session(m_data);
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        const size_t nProgress = session.Progress().size();
        Choose(session, 0, false, true);
        ASSERT_TRUE(session.Click(IDC_VIEW));

        const std::vector<CommandSession::BoxSeen> boxes = session.TakeBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].text.find("too long"), std::string::npos) << boxes[0].text;
        EXPECT_EQ(session.Progress().size(), nProgress) << "no copy was started";
        EXPECT_STREQ(session.Dlg().GetTempClip(), "");
        EXPECT_TRUE(session.IsEnabled(0));
    });
}

} // namespace
