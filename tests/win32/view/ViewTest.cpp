// "View" on the real main window, in this test program's own folder, where the
// build puts the stand-in player: the clip written to ~clip.bik, the player's
// exact parameters, the main window held disabled during the copy, and the file
// removed when the window closes, or left alone when no View was made.
#include "CommandSession.h"
#include "ScratchFolder.h"
#include "ViewFixtures.h"
#include "WinTest.h"

#include <gtest/gtest.h>

#include <string>

using namespace viewtest;
using testsupport::ReadWholeFile;

namespace {

const char kFullScreenHigh[] = "/D108 /R /C";
const char kFullScreenLow[] = "/D102 /R /C";

class View : public wintest::WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        m_data = PrepareDataFolder(m_scratch);
        m_folder = OwnFolder();
        m_tempClip = TempClipIn(m_folder);
        RemoveFile(m_tempClip);
    }

    void TearDown() override
    {
        RemoveFile(m_tempClip);
        RemoveDirectoryA(m_tempClip.c_str());
        WinTest::TearDown();
    }

    std::string QuotedTempClip() const { return "\"" + m_tempClip + "\""; }

    testsupport::ScratchFolder m_scratch;
    testsupport::ArchiveBuilder m_archive = ViewArchive();
    std::string m_data;
    std::string m_folder;
    std::string m_tempClip;
};

TEST_F(View, WithoutASelectedRowDoesNothing)
{
    CommandSession session(m_data);
    PlayerLog log(m_folder);
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        ASSERT_EQ(session.RowCount(), 3);
        const size_t nProgress = session.Progress().size();

        EXPECT_TRUE(session.Click(IDC_VIEW));
        EXPECT_EQ(session.Progress().size(), nProgress);
        EXPECT_STREQ(session.Dlg().GetTempClip(), "");
        EXPECT_EQ(FileSize(m_tempClip), -1);
        EXPECT_TRUE(log.NoneStarted());

        // After a View, one without a selection copies nothing and starts nothing.
        Choose(session, 1, false, false);
        EXPECT_TRUE(session.Click(IDC_VIEW));
        ASSERT_TRUE(log.WaitForRuns(1));
        session.ClearSelection();
        RemoveFile(m_tempClip);
        EXPECT_TRUE(session.Click(IDC_VIEW));
        EXPECT_EQ(session.Progress().size(), nProgress + 1);
        EXPECT_STREQ(session.Dlg().GetTempClip(), m_tempClip.c_str());
        EXPECT_EQ(FileSize(m_tempClip), -1);
        EXPECT_EQ(log.Runs().size(), 1u);
    });
}

TEST_F(View, StartsThePlayerOnTheCopiedEncodingWithTheExactParameters)
{
    const auto& clips = m_archive.Clips();
    struct Case {
        int nRow;
        bool bLowRes;
        bool bFullscreen;
        std::string parameters;
        uint32_t nSize;
    } const cases[] = {
        {0, false, false, QuotedTempClip(), clips[0].hiSize},
        {1, true, false, QuotedTempClip(), clips[1].loSize},   // windowed whatever the resolution
        {1, false, true, QuotedTempClip() + kFullScreenHigh, clips[1].hiSize},
        {2, true, true, QuotedTempClip() + kFullScreenLow, clips[2].loSize},
    };

    CommandSession session(m_data);
    PlayerLog log(m_folder);
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        ASSERT_EQ(session.RowCount(), 3);
        size_t nRuns = 0;
        for (const Case& c : cases) {
            SCOPED_TRACE("row " + std::to_string(c.nRow) + (c.bLowRes ? " low" : " high")
                         + (c.bFullscreen ? " full screen" : " windowed"));
            Choose(session, c.nRow, c.bLowRes, c.bFullscreen);
            const size_t nProgress = session.Progress().size();
            ASSERT_TRUE(session.Click(IDC_VIEW));
            ASSERT_TRUE(log.WaitForRuns(++nRuns));

            const PlayerRun run = log.Runs().back();
            EXPECT_EQ(run.parameters, c.parameters);
            EXPECT_EQ(run.clipSize, c.nSize) << "the clip was not whole when the player started";
            // The player is named as the file to run, without quotes of our own.
            EXPECT_NE(run.commandLine.find(m_folder + "binkplay.exe"), std::string::npos) << run.commandLine;
            EXPECT_STREQ(session.Dlg().GetTempClip(), m_tempClip.c_str());

            // One progress window, holding the main window disabled while it was up.
            ASSERT_EQ(session.Progress().size(), nProgress + 1);
            const CommandSession::ProgressSeen& progress = session.Progress().back();
            EXPECT_EQ(progress.status.rfind("Extracting ~clip", 0), 0u) << progress.status;
            EXPECT_EQ(progress.nUpper, static_cast<int>(c.nSize));
            EXPECT_TRUE(progress.bOwnerDisabledThroughout);
            EXPECT_TRUE(progress.bDestroyed);
            EXPECT_TRUE(session.IsEnabled(0));
        }
        EXPECT_TRUE(session.TakeBoxes().empty());
    });
    EXPECT_EQ(FileSize(m_tempClip), -1) << "closing the window removes the clip";
}

TEST_F(View, TwoViewsOfDifferentClipsLeaveOneFileWithTheSecond)
{
    const testsupport::BuiltClip& second = m_archive.Clips()[2];
    CommandSession session(m_data);
    PlayerLog log(m_folder);
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        Choose(session, 0, false, false);   // the largest encoding first
        ASSERT_TRUE(session.Click(IDC_VIEW));
        ASSERT_TRUE(log.WaitForRuns(1));
        Choose(session, 2, true, false);
        ASSERT_TRUE(session.Click(IDC_VIEW));
        ASSERT_TRUE(log.WaitForRuns(2));

        EXPECT_EQ(log.Runs()[1].clipSize, second.loSize);
        const std::string clip = ReadWholeFile(m_tempClip);
        EXPECT_TRUE(clip == testsupport::Span(m_archive, second.loOffset, second.loSize))
            << "~clip.bik holds " << clip.size() << " bytes";
    });
    EXPECT_EQ(FileSize(m_tempClip), -1);
}

TEST_F(View, ARunWithoutViewRemovesNothing)
{
    testsupport::WriteBytesToFile({'o', 'l', 'd'}, m_tempClip);
    CommandSession session(m_data);
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        Choose(session, 0, false, true);
    });
    EXPECT_EQ(ReadWholeFile(m_tempClip), "old");
}

TEST_F(View, AFolderWhereNothingCanBeCreatedReportsStartsNoPlayerAndStillCloses)
{
    // A folder in the clip's place: the file cannot be created, whoever runs the test.
    ASSERT_TRUE(CreateDirectoryA(m_tempClip.c_str(), NULL));
    CommandSession session(m_data);
    PlayerLog log(m_folder);
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        Choose(session, 1, false, false);
        ASSERT_TRUE(session.Click(IDC_VIEW));

        const std::vector<CommandSession::BoxSeen> boxes = session.TakeBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].text.find("~clip.bik"), std::string::npos) << boxes[0].text;
        EXPECT_FALSE(boxes[0].bProgressUp);
        EXPECT_TRUE(session.Progress().back().bDestroyed);
        EXPECT_TRUE(session.IsEnabled(0));
        EXPECT_TRUE(log.NoneStarted());
    });
    // Run returned: the failed removal did not keep the window.
    EXPECT_EQ(session.Window(), nullptr);
}

TEST_F(View, AClipStillHeldWhenTheWindowClosesDoesNotKeepItOpen)
{
    HANDLE hHeld = INVALID_HANDLE_VALUE;
    CommandSession session(m_data);
    PlayerLog log(m_folder);
    session.Run([&] {
        session.Browse(m_data + kArchiveName);
        Choose(session, 2, true, true);
        ASSERT_TRUE(session.Click(IDC_VIEW));
        ASSERT_TRUE(log.WaitForRuns(1));
        // As a player that is still showing the clip would hold it.
        hHeld = CreateFileA(m_tempClip.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    });
    EXPECT_EQ(session.Window(), nullptr);
    EXPECT_EQ(FileSize(m_tempClip), m_archive.Clips()[2].loSize);
    CloseHandle(hHeld);
}

} // namespace
