// The "Extract..." command and its copy: the proposed names, the save dialog,
// byte-exact output in 1 MiB chunks with a report each, and the failures that
// stop a copy without leaving the window disabled or claiming success.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/ClipTable.h"
#include "CommandSession.h"
#include "samples/DemoArchives.h"
#include "ScratchFolder.h"
#include "TestWindows.h"
#include "WinTest.h"

using testsupport::FileExists;
using testsupport::ReadWholeFile;
using testsupport::ScratchFolder;
using testsupport::Span;

namespace {

using testsupport::ArchiveBuilder;

// A Bink file of exactly size bytes: a real header and frame index, then a pattern
// up to the size, which the header's length field counts.
std::vector<uint8_t> BinkOfSize(uint32_t size, bool bHiRes, uint32_t seed)
{
    std::vector<uint8_t> bytes =
        testsupport::BuildBinkFile(bHiRes ? testsupport::HiResShape(15, seed) : testsupport::LoResShape(15, seed));
    const size_t built = bytes.size();
    bytes.resize(size);
    for (size_t i = built; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 131 + seed);
    testsupport::PutU32(bytes, 4, size - 8);
    return bytes;
}

// The chunk edges: one clip of 1 MiB and 1 MiB + 1, one of 3,000,000 bytes.
ArchiveBuilder EdgesArchive()
{
    ArchiveBuilder builder;
    builder.AddClip(BinkOfSize(MIB, true, 1), BinkOfSize(MIB + 1, false, 2));
    builder.AddClip(BinkOfSize(3000000, true, 3), BinkOfSize(4000, false, 4));
    return builder;
}

// The last clip's low-resolution file is cut 1.25 MiB into its 1.5 MiB.
ArchiveBuilder ShortArchive()
{
    ArchiveBuilder builder;
    builder.AddClip(30);
    builder.AddClip(BinkOfSize(5000, true, 5), BinkOfSize(MIB + MIB / 2, false, 6));
    builder.Truncate(builder.Clips()[1].loOffset + MIB + MIB / 4);
    return builder;
}

ArchiveBuilder FullArchive()
{
    ArchiveBuilder builder;
    for (int i = 0; i < 256; ++i)
        builder.AddClip(15);
    return builder;
}

class Extract : public wintest::WinTest {
protected:
    static void SetUpTestSuite()
    {
        s_pFolder = new ScratchFolder("extract");
        s_pDisc2 = new ArchiveBuilder(testsupport::BuildDemoArchive(1));
        s_pDisc2->WriteTo(At("disc2.pak"));
        EdgesArchive().WriteTo(At("edges.pak"));
        ShortArchive().WriteTo(At("short.pak"));
        FullArchive().WriteTo(At("full.pak"));
        ::CreateDirectoryA(At("out").c_str(), NULL);
    }
    static void TearDownTestSuite()
    {
        delete s_pDisc2;
        delete s_pFolder;
    }

    static std::string Folder() { return s_pFolder->Path(); }
    static std::string At(const std::string& name) { return *s_pFolder / name; }
    static std::string Out(const std::string& name) { return At("out\\" + name); }

    // After every copy, failed or not, the main window takes input again.
    static void ExpectWindowBack(CommandSession& session)
    {
        EXPECT_TRUE(session.IsEnabled(0));
        ASSERT_FALSE(session.Progress().empty());
        EXPECT_TRUE(session.Progress().back().bOwnerDisabledThroughout);
        EXPECT_TRUE(session.Progress().back().bDestroyed);
    }

    static ScratchFolder* s_pFolder;
    static ArchiveBuilder* s_pDisc2;
};

ScratchFolder* Extract::s_pFolder = nullptr;
ArchiveBuilder* Extract::s_pDisc2 = nullptr;

TEST_F(Extract, NothingWithoutASelectedRow)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc2.pak"));
        session.ClearSelection();
        EXPECT_TRUE(session.Click(IDC_EXTRACT));
        EXPECT_EQ(session.FileDialogs().size(), 1u) << "only the open dialog";
        EXPECT_EQ(session.Progress().size(), 1u) << "only the scan";
        EXPECT_TRUE(session.IsEnabled(0));
    });
}

TEST_F(Extract, ProposedNamesAndCancelWritesNothing)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("full.pak"));
        ASSERT_EQ(session.RowCount(), 256);
        const std::string initialDir = session.Dlg().GetInitialDir();

        session.SelectRow(0);
        session.CancelExtract();
        session.Click(IDC_LORES);
        session.SelectRow(11);
        session.CancelExtract();
        session.SelectRow(255);
        session.CancelExtract();

        ASSERT_EQ(session.FileDialogs().size(), 4u);
        EXPECT_EQ(session.FileDialogs()[1].name, "Clip001h.bik");
        EXPECT_EQ(session.FileDialogs()[2].name, "Clip012l.bik");
        EXPECT_EQ(session.FileDialogs()[3].name, "Clip256l.bik");
        EXPECT_EQ(session.FileDialogs()[3].caption, "Save As");
        EXPECT_EQ(session.FileDialogs()[3].folder + "\\", initialDir);

        EXPECT_EQ(std::string(session.Dlg().GetInitialDir()), initialDir);
        EXPECT_EQ(session.Progress().size(), 1u) << "no copy after Cancel";
        EXPECT_FALSE(FileExists(At("Clip001h.bik")));
        EXPECT_FALSE(FileExists(At("Clip256l.bik")));
    });
}

TEST_F(Extract, BothEncodingsAreTheirSpansOfTheArchive)
{
    const testsupport::BuiltClip& clip = s_pDisc2->Clips()[11];
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc2.pak"));
        session.SelectRow(11);
        session.Extract(Out("twelve-hi.bik"));
        ExpectWindowBack(session);
        EXPECT_EQ(std::string(session.Dlg().GetInitialDir()), Out("")) << "the folder of the saved file";
        const CommandSession::ProgressSeen& hi = session.Progress().back();
        EXPECT_EQ(hi.status, "Extracting twelve-hi.bik...");
        EXPECT_EQ(hi.nLower, 0);
        EXPECT_EQ(hi.nUpper, static_cast<int>(clip.hiSize));
        EXPECT_EQ(hi.positions, std::vector<int>{static_cast<int>(clip.hiSize)});

        session.Click(IDC_LORES);
        session.Extract(Out("twelve-lo"));   // the save dialog adds .bik
        ExpectWindowBack(session);
        EXPECT_EQ(session.Progress().back().nUpper, static_cast<int>(clip.loSize));
        EXPECT_EQ(session.TakeBoxes().size(), 0u) << "success is not announced";
    });
    EXPECT_EQ(ReadWholeFile(Out("twelve-hi.bik")), Span(*s_pDisc2, clip.hiOffset, clip.hiSize));
    EXPECT_EQ(ReadWholeFile(Out("twelve-lo.bik")), Span(*s_pDisc2, clip.loOffset, clip.loSize));
    EXPECT_EQ(ReadWholeFile(Out("twelve-lo.bik")).substr(0, 3), "BIK");
}

TEST_F(Extract, ChunkEdgesGiveOneReportAMebibyte)
{
    const ArchiveBuilder edges = EdgesArchive();
    const std::vector<testsupport::BuiltClip>& clips = edges.Clips();
    CommandSession session(Folder());
    bool bPictured = false;
    session.OnReport([&](HWND, int nPos) {
        // The main window with the copy of 3,000,000 bytes a third of the way through.
        if (!bPictured && nPos == 2 * MIB) {
            bPictured = true;
            SaveScreenshot(session.Window(), "extraction-in-progress");
        }
    });
    session.Run([&] {
        session.Browse(At("edges.pak"));
        // The copy's other chunk edges are the copy's own tests' concern.
        session.SelectRow(1);
        session.Extract(Out("three-million.bik"));
        EXPECT_EQ(session.Progress().back().positions, (std::vector<int>{MIB, 2 * MIB, 3000000}));
        EXPECT_EQ(session.Progress().back().nUpper, 3000000);
        ExpectWindowBack(session);
    });
    EXPECT_TRUE(bPictured);
    EXPECT_EQ(ReadWholeFile(Out("three-million.bik")), Span(edges, clips[1].hiOffset, 3000000));
}

TEST_F(Extract, TwiceToOnePathLeavesOneCopy)
{
    const testsupport::BuiltClip& clip = s_pDisc2->Clips()[0];
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc2.pak"));
        session.SelectRow(0);
        session.Extract(Out("twice.bik"));
        session.Extract(Out("twice.bik"));   // the replace prompt is answered Yes
        EXPECT_EQ(session.Progress().size(), 3u);
        EXPECT_EQ(session.ReplacePrompts(), 1);
    });
    EXPECT_EQ(ReadWholeFile(Out("twice.bik")), Span(*s_pDisc2, clip.hiOffset, clip.hiSize));
}

TEST_F(Extract, TheArchiveItselfAsOutputFailsAndStaysWhole)
{
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("disc2.pak"));
        session.SelectRow(3);
        session.Extract(At("disc2.pak"));
        EXPECT_EQ(session.ReplacePrompts(), 1);
        const std::vector<CommandSession::BoxSeen> boxes = session.TakeBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].text.find("disc2.pak"), std::string::npos) << boxes[0].text;
        EXPECT_FALSE(boxes[0].bProgressUp);
        ExpectWindowBack(session);
        EXPECT_TRUE(session.Progress().back().positions.empty()) << "not one chunk written";
    });
    const std::vector<uint8_t>& bytes = s_pDisc2->Bytes();
    EXPECT_EQ(ReadWholeFile(At("disc2.pak")), std::string(bytes.begin(), bytes.end()));
}

TEST_F(Extract, ClipCutShortByTheArchiveEndStopsWithAnError)
{
    const ArchiveBuilder archive = ShortArchive();
    const testsupport::BuiltClip& clip = archive.Clips()[1];
    CommandSession session(Folder());
    session.Run([&] {
        session.Browse(At("short.pak"));
        ASSERT_EQ(session.RowCount(), 2) << "the scan accepts the cut clip";
        session.SelectRow(1);
        session.Click(IDC_LORES);
        session.Extract(Out("cut.bik"));

        const std::vector<CommandSession::BoxSeen> boxes = session.TakeBoxes();
        ASSERT_EQ(boxes.size(), 1u) << "a short copy is not a success";
        EXPECT_NE(boxes[0].text.find("short.pak"), std::string::npos) << boxes[0].text;
        ExpectWindowBack(session);
        EXPECT_EQ(session.Progress().back().positions, std::vector<int>{MIB});
    });
    // Only what the archive really held, nothing made up past its end.
    EXPECT_EQ(ReadWholeFile(Out("cut.bik")), Span(archive, clip.loOffset, archive.Size() - clip.loOffset));
}

}  // namespace
