#include "CliExtractFixture.h"
#include "DemoDiscs.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

TEST_F(CliExtract, ProposedNamesHoldTheExactSpanOfEachEncoding)
{
    const BuiltClip& clip = m_archive.Clips()[2];
    ASSERT_EQ(Run({"extract", "disc1.pak", "3"}).status, 0);
    const CliResult lo = Run({"extract", "disc1.pak", "3", "--lo"});
    ASSERT_EQ(lo.status, 0) << lo.err;
    EXPECT_EQ(lo.out, "");
    EXPECT_EQ(lo.err, "");   // no progress bar when stderr is not a terminal

    EXPECT_EQ(ReadWholeFile(m_folder / "Clip003h.bik"), Span(m_archive, clip.hiOffset, clip.hiSize));
    EXPECT_EQ(ReadWholeFile(m_folder / "Clip003l.bik"), Span(m_archive, clip.loOffset, clip.loSize));
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"Clip003h.bik", "Clip003l.bik", "disc1.pak"}));
}

// A folder as the output, existing or ending in '/', takes the file under its batch name.
TEST_F(CliExtract, OutputOptionNamesAFileOrAFolder)
{
    const BuiltClip& last = m_archive.Clips().back();
    fs::create_directory(m_folder / "out");
    ASSERT_EQ(Run({"extract", "disc1.pak", "31", "-o", "out/last.bik"}).status, 0);
    ASSERT_EQ(Run({"extract", "disc1.pak", "31", "--lo", "-o", "out"}).status, 0);
    ASSERT_EQ(Run({"extract", "disc1.pak", "31", "-o", "new/"}).status, 0);
    EXPECT_EQ(ReadWholeFile(m_folder / "out/last.bik"), Span(m_archive, last.hiOffset, last.hiSize));
    EXPECT_EQ(ReadWholeFile(m_folder / "out/disc1-031l End of the Beginning.bik"),
              Span(m_archive, last.loOffset, last.loSize));
    EXPECT_EQ(ReadWholeFile(m_folder / "new/disc1-031h End of the Beginning.bik"),
              Span(m_archive, last.hiOffset, last.hiSize));
}

TEST_F(CliExtract, ExistingFileIsKeptWithoutForceAndReplacedWithIt)
{
    const BuiltClip& clip = m_archive.Clips()[0];
    const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
    WriteBytesToFile(mine, (m_folder / "Clip001h.bik"));

    const CliResult refused = Run({"extract", "disc1.pak", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Clip001h.bik"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadWholeFile(m_folder / "Clip001h.bik"), Text(mine));

    ASSERT_EQ(Run({"extract", "disc1.pak", "1", "--force"}).status, 0);
    EXPECT_EQ(ReadWholeFile(m_folder / "Clip001h.bik"), Span(m_archive, clip.hiOffset, clip.hiSize));
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"Clip001h.bik", "disc1.pak"}));
}

TEST_F(CliExtract, ArchiveItselfIsRefusedEvenWithForceHoweverItIsNamed)
{
    const std::string before = ArchiveOnDisk();
    fs::create_directory(m_folder / "dir");
    ASSERT_EQ(::link((m_folder / "disc1.pak").c_str(), (m_folder / "hardlink.pak").c_str()), 0);
    fs::create_symlink("disc1.pak", m_folder / "symlink.pak");

    for (const char* spelling : {"disc1.pak", "./disc1.pak", "dir/../disc1.pak", "hardlink.pak", "symlink.pak"}) {
        const CliResult result = Run({"extract", "disc1.pak", "1", "-o", spelling, "--force"});
        EXPECT_EQ(result.status, 1) << spelling;
        EXPECT_NE(result.err.find(spelling), std::string::npos) << result.err;
    }
    const CliResult viaAbsolute =
        RunCli({"extract", (m_folder / "disc1.pak"), "2", "--lo", "-o", "disc1.pak", "--force"},
               m_folder.Path());
    EXPECT_EQ(viaAbsolute.status, 1);
    EXPECT_EQ(ArchiveOnDisk(), before);
    EXPECT_TRUE(fs::is_symlink(m_folder / "symlink.pak"));
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"dir", "disc1.pak", "hardlink.pak", "symlink.pak"}));
}

TEST_F(CliExtract, OutputInAMissingFolderNamesTheFileAndTheReason)
{
    const CliResult result = Run({"extract", "disc1.pak", "1", "-o", "missing/clip.bik"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("missing/clip.bik"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(NO_SUCH_FOLDER), std::string::npos) << result.err;
}

// The scan accepts an archive cut inside its last low-resolution file; the copy
// then meets the end of the file before the recorded end of that encoding.
TEST(CliExtractShortArchive, CutLastClipFailsAndLeavesNoFileBehind)
{
    ScratchFolder folder;
    const ArchiveBuilder archive = CutDisc4(100);
    const BuiltClip& last = archive.Clips().back();
    archive.WriteTo((folder / "disc4.pak"));
    const std::vector<uint8_t> mine = {'k', 'e', 'e', 'p'};
    WriteBytesToFile(mine, (folder / "kept.bik"));

    const CliResult cut = RunCli({"extract", "disc4.pak", "7", "--lo"}, folder.Path());
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("disc4.pak"), std::string::npos) << cut.err;
    const CliResult overKept = RunCli({"extract", "disc4.pak", "7", "--lo", "-o", "kept.bik", "--force"}, folder.Path());
    EXPECT_EQ(overKept.status, 1);
    // A pipe cannot take bytes back, so it gets none of a clip that cannot be whole.
    const CliResult piped = RunCli({"extract", "disc4.pak", "7", "--lo", "-o", "-"}, folder.Path());
    EXPECT_EQ(piped.status, 1);
    EXPECT_EQ(piped.out, "");
    EXPECT_EQ(piped.err, "zodovu-cli: standard output: disc4.pak: The file ends before the data it should hold\n");

    EXPECT_EQ(ReadWholeFile(folder / "kept.bik"), Text(mine));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"disc4.pak", "kept.bik"}));

    // The high-resolution file of that clip is whole and still extracts.
    ASSERT_EQ(RunCli({"extract", "disc4.pak", "7"}, folder.Path()).status, 0);
    EXPECT_EQ(ReadWholeFile(folder / "Clip007h.bik"), Span(archive, last.hiOffset, last.hiSize));
}

#ifdef FFPROBE
// An outside reader finds a whole Bink file, in the extracted file and straight
// from a pipe: one packet per frame, read without decoding.
TEST_F(CliExtract, FfprobeReadsTheClipAsBinkVideoFromAFileAndFromAPipe)
{
    const BuiltClip& clip = m_archive.Clips()[4];
    ASSERT_EQ(Run({"extract", "disc1.pak", "5"}).status, 0);
    const CliResult probe = ProbePackets("Clip005h.bik", m_folder.Path());
    ASSERT_EQ(probe.status, 0) << probe.err;
    const std::string stream = "stream,binkvideo,640,448," + std::to_string(clip.frames) + "\n";
    EXPECT_NE(probe.out.find(stream), std::string::npos) << probe.out;

    // The same clip through a pipe, as a script would hand it on.
    CliStart shell;
    shell.program = "/bin/sh";
    const CliResult piped = RunProgram({"-c", "'" ZODOVU_CLI "' extract disc1.pak 5 -o - | '" FFPROBE
                                        "' -v error -count_packets -show_entries"
                                        " stream=codec_name,width,height,nb_read_packets -of csv -i pipe:0"},
                                       m_folder.Path(), shell);
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, stream);
}
#endif

} // namespace
