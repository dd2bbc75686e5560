// The "..." command: the open dialog, the scan under its progress window, the
// disc's name, the rows, the controls; and an archive that is refused or missing
// leaves the one loaded before as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalogue/ClipTexts.h"
#include "CommandSession.h"
#include "samples/DemoArchives.h"
#include "ScratchFolder.h"
#include "TestWindows.h"
#include "WinTest.h"

using testsupport::ScratchFolder;

namespace {

using testsupport::BuildDemoArchive;

constexpr unsigned kDisc2 = 1;       // index in DemoArchives()
constexpr unsigned kDisc4 = 3;
constexpr unsigned kPublisher = 4;

class Browse : public wintest::WinTest {
protected:
    static void SetUpTestSuite()
    {
        s_pFolder = new ScratchFolder("browse");
        testsupport::WriteDemoArchives(s_pFolder->Path());
        testsupport::WriteBytesToFile({}, *s_pFolder / "x.pak");
        testsupport::WriteBytesToFile({'n', 'o', 't', ' ', 'a', 'n', ' ', 'a', 'r', 'c', 'h', 'i', 'v', 'e'},
                                      *s_pFolder / "bad.pak");
    }
    static void TearDownTestSuite()
    {
        delete s_pFolder;
        s_pFolder = nullptr;
    }

    static std::string Folder() { return s_pFolder->Path(); }
    static std::string At(const std::string& name) { return *s_pFolder / name; }

    // What the window shows of the loaded archive, and what it holds behind it.
    struct Loaded {
        std::vector<std::vector<std::string>> rows;
        std::string archiveText, discText, archivePath;
        uint32_t nCount;
        std::vector<ClipRecord> records;
    };
    static Loaded Snapshot(CommandSession& session)
    {
        Loaded loaded;
        for (int i = 0; i < session.RowCount(); ++i)
            loaded.rows.push_back(session.Row(i));
        loaded.archiveText = session.Text(IDC_ARCHIVE);
        loaded.discText = session.Text(IDC_DISC);
        loaded.archivePath = session.Dlg().GetArchivePath();
        loaded.nCount = session.Dlg().GetClips().nCount;
        loaded.records.assign(session.Dlg().GetClips().aRecords, session.Dlg().GetClips().aRecords + loaded.nCount);
        return loaded;
    }
    static void ExpectSame(const Loaded& was, const Loaded& now)
    {
        EXPECT_EQ(now.rows, was.rows);
        EXPECT_EQ(now.archiveText, was.archiveText);
        EXPECT_EQ(now.discText, was.discText);
        EXPECT_EQ(now.archivePath, was.archivePath);
        ASSERT_EQ(now.nCount, was.nCount);
        EXPECT_EQ(std::memcmp(now.records.data(), was.records.data(), now.nCount * sizeof(ClipRecord)), 0);
    }

    // Each row shows its clip of the builder's archive: label, time and both sizes.
    static void ExpectRowsOf(CommandSession& session, unsigned archive, DiscId disc)
    {
        const testsupport::ArchiveBuilder built = BuildDemoArchive(archive);
        ASSERT_EQ(session.RowCount(), static_cast<int>(built.Clips().size()));
        ASSERT_EQ(session.Dlg().GetClips().nCount, built.Clips().size());
        for (size_t i = 0; i < built.Clips().size(); ++i) {
            SCOPED_TRACE("row " + std::to_string(i));
            const testsupport::BuiltClip& clip = built.Clips()[i];
            EXPECT_EQ(session.Row(static_cast<int>(i)),
                      (std::vector<std::string>{FormatClipLabel(disc, static_cast<uint32_t>(i)),
                                                FormatClipLength(clip.frames), FormatClipSize(clip.hiSize),
                                                FormatClipSize(clip.loSize)}));
            const ClipRecord& record = session.Dlg().GetClips().aRecords[i];
            EXPECT_EQ(record.dwHiOffset, clip.hiOffset);
            EXPECT_EQ(record.dwLoSize, clip.loSize);
        }
    }

    static ScratchFolder* s_pFolder;
};

ScratchFolder* Browse::s_pFolder = nullptr;

TEST_F(Browse, Disc2FillsItsRowsNamesTheDiscAndEnablesStepTwo)
{
    CommandSession session(Folder());
    session.Run([&] {
        EXPECT_FALSE(session.StepTwoEnabled());
        session.Browse(At("disc2.pak"));

        ExpectRowsOf(session, kDisc2, 1);
        EXPECT_NE(session.Row(0)[0].rfind("Clip ", 0), 0u) << "the disc's titles, not numbers";
        EXPECT_EQ(session.Text(IDC_DISC), "KVN Disc 2");
        EXPECT_EQ(session.Text(IDC_ARCHIVE), "disc2.pak");
        EXPECT_TRUE(session.StepTwoEnabled());
        EXPECT_TRUE(session.IsEnabled(0));
        EXPECT_EQ(session.Dlg().GetDisc(), 1);
        EXPECT_EQ(std::string(session.Dlg().GetArchivePath()), At("disc2.pak"));
        EXPECT_EQ(std::string(session.Dlg().GetInitialDir()), Folder());

        // The scan ran under a progress window that held the main window disabled.
        ASSERT_EQ(session.Progress().size(), 1u);
        const CommandSession::ProgressSeen& progress = session.Progress()[0];
        const uint32_t length = BuildDemoArchive(kDisc2).Size();
        EXPECT_EQ(progress.status, "Scanning disc2.pak...");
        EXPECT_EQ(progress.nLower, 0);
        EXPECT_EQ(progress.nUpper, static_cast<int>(length));
        EXPECT_EQ(progress.positions.size(), 34u) << "one report a clip";
        EXPECT_EQ(progress.positions.back(), static_cast<int>(length));
        EXPECT_TRUE(progress.bOwnerDisabledThroughout);
        EXPECT_TRUE(progress.bDestroyed);

        // The first file dialog opened in the game's data folder with no name.
        ASSERT_EQ(session.FileDialogs().size(), 1u);
        EXPECT_EQ(session.FileDialogs()[0].caption, "Open");
        EXPECT_EQ(session.FileDialogs()[0].name, "");

        session.SelectRow(2);
        SaveScreenshot(session.Window(), "loaded-list");
    });
}

TEST_F(Browse, PublisherArchiveShowsNumberedRows)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("publish.pak"));
        EXPECT_EQ(session.Text(IDC_DISC), "Publisher");
        ExpectRowsOf(session, kPublisher, DISC_NONE);
        EXPECT_EQ(session.Row(0)[0], "Clip 001");
        EXPECT_EQ(session.Row(4)[0], "Clip 005");
    });
}

TEST_F(Browse, EmptyArchiveIsAcceptedWithNoRowsAndStepTwoEnabled)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("x.pak"));
        EXPECT_EQ(session.Text(IDC_DISC), "Unknown PAK");
        EXPECT_EQ(session.Text(IDC_ARCHIVE), "x.pak");
        EXPECT_EQ(session.RowCount(), 0);
        EXPECT_EQ(session.Dlg().GetClips().nCount, 0u);
        EXPECT_TRUE(session.StepTwoEnabled());
        EXPECT_TRUE(session.IsEnabled(0));
    });
}

TEST_F(Browse, NameWithoutExtensionOpensThePak)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc4"));
        EXPECT_EQ(session.Text(IDC_ARCHIVE), "disc4.pak");
        EXPECT_EQ(session.Text(IDC_DISC), "KVN Disc 4");
        ExpectRowsOf(session, kDisc4, 3);
    });
}

TEST_F(Browse, CancelChangesNothing)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc2.pak"));
        const Loaded was = Snapshot(session);
        const std::string initialDir = session.Dlg().GetInitialDir();

        session.CancelBrowse();
        ExpectSame(was, Snapshot(session));
        EXPECT_EQ(std::string(session.Dlg().GetInitialDir()), initialDir);
        EXPECT_EQ(session.Progress().size(), 1u) << "no scan after Cancel";
        EXPECT_TRUE(session.IsEnabled(0));
    });
}

TEST_F(Browse, ChoosingTheLoadedArchiveAgainRebuildsTheSameRows)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc2.pak"));
        const Loaded was = Snapshot(session);
        session.Browse(At("disc2.pak"));
        ExpectSame(was, Snapshot(session));
        EXPECT_EQ(session.RowCount(), 34);
    });
}

TEST_F(Browse, NextDialogsOpenInTheLastFolderWithTheLastName)
{
    ScratchFolder other("browse-other");
    testsupport::BuildDemoArchive(kDisc4).WriteTo(other / "disc4.pak");
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(other / "disc4.pak");
        EXPECT_EQ(std::string(session.Dlg().GetInitialDir()), other.Path()) << "with its trailing backslash";
        session.CancelBrowse();
        session.SelectRow(0);
        session.CancelExtract();

        ASSERT_EQ(session.FileDialogs().size(), 3u);
        // Wine gives the folder without its trailing backslash.
        const std::string folder = other.Path().substr(0, other.Path().size() - 1);
        EXPECT_EQ(session.FileDialogs()[0].folder + "\\", Folder());
        EXPECT_EQ(session.FileDialogs()[1].folder, folder);
        EXPECT_EQ(session.FileDialogs()[1].name, "disc4.pak");
        EXPECT_EQ(session.FileDialogs()[2].caption, "Save As");
        EXPECT_EQ(session.FileDialogs()[2].folder, folder);
    });
}

TEST_F(Browse, RefusedArchiveIsReportedWhileDisabledAndKeepsThePreviousOne)
{
    ScratchFolder other("browse-refused");
    testsupport::WriteBytesToFile({'n', 'o', 't', ' ', 'a', ' ', 'p', 'a', 'k'}, other / "bad.pak");
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc2.pak"));
        const Loaded was = Snapshot(session);

        session.Browse(other / "bad.pak");
        const std::vector<CommandSession::BoxSeen> boxes = session.TakeBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Error\nInvalid movie file.");
        EXPECT_TRUE(boxes[0].bProgressUp) << "the box comes while the scan holds the window";

        ExpectSame(was, Snapshot(session));
        EXPECT_TRUE(session.StepTwoEnabled());
        EXPECT_TRUE(session.IsEnabled(0)) << "enabled again once the box is closed";
        EXPECT_EQ(std::string(session.Dlg().GetInitialDir()), other.Path()) << "the folder still moves";
        ASSERT_EQ(session.Progress().size(), 2u);
        EXPECT_TRUE(session.Progress()[1].bDestroyed);
    });
}

TEST_F(Browse, MissingFileGetsTheFrameworksReportAndChangesNothing)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc2.pak"));
        const Loaded was = Snapshot(session);

        session.Browse(At("gone.pak"));
        const std::vector<CommandSession::BoxSeen> boxes = session.TakeBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].text.find("gone.pak"), std::string::npos) << boxes[0].text;
        EXPECT_FALSE(boxes[0].bProgressUp) << "the progress window is gone before the report";

        ExpectSame(was, Snapshot(session));
        EXPECT_TRUE(session.IsEnabled(0));
        EXPECT_TRUE(session.StepTwoEnabled());
    });
}

TEST_F(Browse, LongNameIsCutToTheStatusLine)
{
    const std::string name = std::string(200, 'n') + ".pak";
    ScratchFolder other("long");
    testsupport::BuildDemoArchive(kDisc4).WriteTo(other / name);
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(other / name);
        ASSERT_EQ(session.Progress().size(), 1u);
        const std::string whole = "Scanning " + name + "...";
        EXPECT_EQ(session.Progress()[0].status, whole.substr(0, 199));
        EXPECT_EQ(session.Text(IDC_ARCHIVE), name);
        EXPECT_EQ(session.RowCount(), 7);
    });
}

} // namespace
