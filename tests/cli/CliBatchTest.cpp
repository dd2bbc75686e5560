// extract with selections, --all and --both: which clips, their names, failures
// in a batch, the summary, the progress bar and standard output.
#include "catalogue/ClipTexts.h"
#include "CliExtractFixture.h"
#include "DemoDiscs.h"
#include "PseudoTerminal.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

std::string TitledName(const char* stem, DiscId disc, uint32_t index, char encoding)
{
    char number[16];
    std::snprintf(number, sizeof number, "-%03u%c ", index + 1, encoding);
    return stem + (number + FormatClipLabel(disc, index)) + ".bik";
}

std::vector<std::string> Without(std::vector<std::string> names, const std::string& name)
{
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
    return names;
}

TEST_F(CliExtract, SelectionTakesEachClipOnceInListOrderAndRefusesAnythingElse)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> files;
        std::string out;
    };
    const std::string first = TitledName("disc1", 0, 0, 'h');
    const std::string third = TitledName("disc1", 0, 2, 'h');
    const std::string fourth = TitledName("disc1", 0, 3, 'h');
    const Case cases[] = {
        {{"010"}, 0, {"Clip010h.bik"}, ""},   // decimal, whatever the leading zeros
        {{"3-4", "4,1", "3", "-v"}, 0, {first, third, fourth}, first + "\n" + third + "\n" + fourth + "\n"},
        {{"2", "--both"}, 0, {TitledName("disc1", 0, 1, 'h'), TitledName("disc1", 0, 1, 'l')}, ""},
        {{"0x10"}, 2, {}, ""},
        {{"0"}, 2, {}, ""},
        {{"+3"}, 2, {}, ""},
        {{"4-2"}, 2, {}, ""},
        {{"1,"}, 2, {}, ""},
        {{"1-"}, 2, {}, ""},
        {{""}, 2, {}, ""},
        {{"32"}, 2, {}, ""},   // the archive holds 31 clips
        {{"30-32"}, 2, {}, ""},
        {{}, 2, {}, ""},
        {{"--all", "3"}, 2, {}, ""},
        {{"3", "--lo", "--both"}, 2, {}, ""},
        {{"3", "-o", ""}, 2, {}, ""},
        {{"3", "-q", "-v"}, 2, {}, ""},
        {{"1-2", "-o", "-"}, 2, {}, ""},
        {{"3", "--both", "-o", "-"}, 2, {}, ""},
        {{"3", "-o", "-", "-v"}, 2, {}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"extract", "disc1.pak"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult result = Run(args);
        const std::string what = ::testing::PrintToString(c.args);
        EXPECT_EQ(result.status, c.status) << what << result.err;
        EXPECT_EQ(Without(m_folder.Names(), "disc1.pak"), c.files) << what;
        EXPECT_EQ(result.out, c.out) << what;
        if (c.status != 0) {
            EXPECT_NE(result.err, "") << what;
        }
        for (const std::string& file : c.files)
            fs::remove(m_folder / file);
    }
}

TEST_F(CliExtract, WholeDiscInBothEncodingsGoesToAFolderMadeForItWithOneSummaryLine)
{
    const CliResult result = Run({"extract", "disc1.pak", "--all", "--both", "-o", "discs/one"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("zodovu-cli: 62 files extracted (", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
    for (uint32_t i = 0; i < 31; ++i) {
        EXPECT_EQ(ReadWholeFile(m_folder / ("discs/one/" + TitledName("disc1", 0, i, 'h'))), Hi(i)) << i;
        EXPECT_EQ(ReadWholeFile(m_folder / ("discs/one/" + TitledName("disc1", 0, i, 'l'))), Lo(i)) << i;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder / "discs/one"), fs::directory_iterator()), 62);

    const CliResult quiet = Run({"extract", "disc1.pak", "--all", "-o", "discs/one", "--force", "-q"});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
}

// The scan accepts disc4.pak cut inside its last low-resolution file: that file
// fails, as does one that exists, and every other file is written.
TEST(CliExtractBatch, FailedFilesAreNamedAndTheOthersStillWritten)
{
    ScratchFolder folder;
    const ArchiveBuilder archive = CutDisc4(100);
    const BuiltClip& last = archive.Clips().back();
    archive.WriteTo(folder / "disc4.pak");
    const std::string existing = TitledName("disc4", 3, 1, 'h');
    const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
    WriteBytesToFile(mine, folder / existing);

    const CliResult result = RunCli({"extract", "disc4.pak", "--all", "--both", "-q"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "zodovu-cli: " + existing + ": already exists (--force overwrites it)\n"
                          "zodovu-cli: " + TitledName("disc4", 3, 6, 'l') + ": " +
                          "disc4.pak: The file ends before the data it should hold\n"
                          "zodovu-cli: 12 of 14 files extracted, 2 failed\n");
    EXPECT_EQ(ReadWholeFile(folder / existing), Text(mine));
    EXPECT_EQ(folder.Names().size(), 1u + 14u - 1u);   // the archive and 13 files, nothing hidden
    EXPECT_EQ(ReadWholeFile(folder / TitledName("disc4", 3, 6, 'h')),
              Span(archive, last.hiOffset, last.hiSize));
}

// -n resumes a run that was cut short: the files already there are kept and
// counted, the others written; what is not a regular file under a name is
// still refused, and --force cannot be asked with it.
TEST_F(CliExtract, NoClobberKeepsFinishedFilesAndWritesTheRest)
{
    SKIP_UNDER_WINE();
    ASSERT_EQ(Run({"extract", "disc1.pak", "--all", "-o", "out", "-q"}).status, 0);
    const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
    WriteBytesToFile(mine, m_folder / ("out/" + TitledName("disc1", 0, 0, 'h')));
    for (const uint32_t index : {1u, 2u, 3u})
        fs::remove(m_folder / ("out/" + TitledName("disc1", 0, index, 'h')));
    const std::string folder = "out/" + TitledName("disc1", 0, 4, 'h'), link = "out/" + TitledName("disc1", 0, 5, 'h');
    const struct {
        bool obstacles;   // a folder and a link where two files go
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {false, {"--all", "-o", "out", "-n"}, 0, "zodovu-cli: 3 files extracted (0.3M), 28 skipped\n"},
        {false, {"--all", "-o", "out", "--no-clobber", "-q"}, 0, ""},
        {false, {"1", "-o", "out/" + TitledName("disc1", 0, 0, 'h'), "-n"}, 0, "zodovu-cli: 0 files extracted, 1 skipped\n"},
        {false, {"--all", "-o", "out", "-n", "--force"}, 2, "zodovu-cli: --force and --no-clobber cannot be given together\n"},
        {true, {"--all", "-o", "out", "-n"}, 1, "zodovu-cli: " + folder + ": already exists and is not a regular file; refusing to "
                                   "write to it\nzodovu-cli: " + link + ": already exists and is not a regular file; "
                                   "refusing to write to it\nzodovu-cli: 0 of 31 files extracted, 2 failed, 29 skipped\n"},
    };
    for (const auto& c : cases) {
        if (c.obstacles) {
            fs::remove(m_folder / folder);
            fs::create_directory(m_folder / folder);
            fs::remove(m_folder / link);
            fs::create_symlink("/dev/null", m_folder / link);
        }
        std::vector<std::string> args = {"extract", "disc1.pak"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult result = Run(args);
        EXPECT_EQ(result.status, c.status) << ::testing::PrintToString(c.args);
        EXPECT_EQ(result.err.substr(0, result.err.find("Usage:")), c.err);
    }
    EXPECT_EQ(ReadWholeFile(m_folder / ("out/" + TitledName("disc1", 0, 0, 'h'))), Text(mine));
    for (uint32_t index = 1; index < 4; ++index)
        EXPECT_EQ(ReadWholeFile(m_folder / ("out/" + TitledName("disc1", 0, index, 'h'))), Hi(index)) << index;
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder / "out"), fs::directory_iterator()), 31);
}

TEST_F(CliExtract, ProgressBarOnlyOnATerminal)
{
    SKIP_UNDER_WINE();
    PseudoTerminal terminal;
    terminal.SetColumns(200);
    CliStart start;
    start.stderrPath = terminal.SlavePath();
    CliResult result = FinishCli(StartCli({"extract", "disc1.pak", "1-3"}, m_folder.Path(), start), m_folder.Path(), start);
    EXPECT_EQ(result.status, 0);
    std::string shown = terminal.ReadAll();
    EXPECT_NE(shown.find("\rExtracting " + TitledName("disc1", 0, 0, 'h')), std::string::npos) << shown;
    EXPECT_NE(shown.find("\rExtracting " + TitledName("disc1", 0, 2, 'h')), std::string::npos) << shown;
    EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" \rzodovu-cli: 3 files extracted"), std::string::npos) << shown;   // cleared first

    // On 40 columns every line is redrawn in place and fits; -v's paths, on the
    // same terminal, come each on a line of its own after the bar is cleared.
    terminal.SetColumns(40);
    start.stdoutPath = terminal.SlavePath();
    result = FinishCli(StartCli({"extract", "disc1.pak", "1-3", "-v", "--force"}, m_folder.Path(), start),
                       m_folder.Path(), start);
    EXPECT_EQ(result.status, 0);
    shown = terminal.ReadAll();
    for (const std::string& line : Lines(shown)) {
        for (size_t start = 0; start < line.size();) {
            const size_t end = std::min(line.find('\r', start + 1), line.size());
            const std::string drawn = line.substr(start, end - start);
            EXPECT_LE(drawn.size(), 40u) << drawn;
            start = end;
        }
    }
    EXPECT_NE(shown.find(" \r" + TitledName("disc1", 0, 0, 'h') + "\n" + TitledName("disc1", 0, 1, 'h') + "\n"),
              std::string::npos)
        << shown;
    start.stdoutPath = nullptr;

    result = FinishCli(StartCli({"extract", "disc1.pak", "4-5", "-q"}, m_folder.Path(), start), m_folder.Path(), start);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(terminal.ReadAll(), "");
}

// The file's name on the progress line is shown as every name on a terminal
// is: an escape sequence in it is drawn as text, never run by the terminal.
TEST_F(CliExtract, ProgressBarEscapesTheNameItShows)
{
    SKIP_UNDER_WINE();
    PseudoTerminal terminal;
    terminal.SetColumns(200);
    CliStart start;
    start.stderrPath = terminal.SlavePath();
    const std::string name = "\x1b]0;title\x07red\x1b[31m.bik";
    const CliResult result =
        FinishCli(StartCli({"extract", "disc1.pak", "1", "-o", name}, m_folder.Path(), start), m_folder.Path(), start);
    EXPECT_EQ(result.status, 0);
    const std::string shown = terminal.ReadAll();
    EXPECT_NE(shown.find("\rExtracting \\x1B]0;title\\x07red\\x1B[31m.bik"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
    EXPECT_EQ(ReadWholeFile(m_folder / name), Hi(0));
}

TEST_F(CliExtract, StandardOutputTakesTheClipButNeverATerminal)
{
    SKIP_UNDER_WINE();
    const ScratchFolder elsewhere("piped");
    const std::string piped = elsewhere / "piped.bin";
    const CliResult result = RunCli({"extract", "disc1.pak", "3", "--lo", "-o", "-"}, m_folder.Path(), piped.c_str());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadWholeFile(piped), Lo(2));

    PseudoTerminal terminal;
    const CliResult refused = RunCli({"extract", "disc1.pak", "3", "-o", "-"}, m_folder.Path(), terminal.SlavePath());
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("standard output: is a terminal"), std::string::npos) << refused.err;
    EXPECT_EQ(terminal.ReadAll(), "");
    EXPECT_EQ(m_folder.Names(), std::vector<std::string>{"disc1.pak"});
}

} // namespace
