#include "CliRunner.h"

#include "catalogue/ClipTexts.h"
#include "DemoDiscs.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <unistd.h>

using namespace testsupport;

namespace {

TEST(CliList, ShowsTheDiscLabelAndOneRowOfListTextsPerClip)
{
    ScratchFolder folder;
    const ArchiveBuilder archive = BuildDemoArchive(DISC2);
    archive.WriteTo((folder / "disc2.pak"));

    const CliResult result = RunCli({"list", "disc2.pak"}, folder.Path());
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 2 + archive.Clips().size());   // label, headings, rows
    EXPECT_EQ(lines[0], "KVN Disc 2");
    for (size_t i = 0; i < archive.Clips().size(); ++i) {
        const BuiltClip& clip = archive.Clips()[i];
        // "number  label  length  hi  lo": the label may hold blanks, the rest do not.
        std::istringstream row(lines[2 + i]);
        std::vector<std::string> words;
        for (std::string word; row >> word;)
            words.push_back(word);
        ASSERT_GE(words.size(), 5u) << lines[2 + i];
        std::string label = words[1];
        for (size_t w = 2; w + 3 < words.size(); ++w)
            label += " " + words[w];
        EXPECT_EQ(words[0], std::to_string(i + 1));
        EXPECT_EQ(label, FormatClipLabel(1, static_cast<uint32_t>(i)));
        EXPECT_EQ(words[words.size() - 3], FormatClipLength(clip.frames));
        EXPECT_EQ(words[words.size() - 2], FormatClipSize(clip.hiSize));
        EXPECT_EQ(words[words.size() - 1], FormatClipSize(clip.loSize));
    }
    // Aligned: every row as long as the headings.
    for (size_t i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].size(), lines[1].size()) << lines[i];
}

TEST(CliList, JsonHoldsOffsetsSizesAndTheListTexts)
{
    ScratchFolder folder;
    const ArchiveBuilder archive = BuildDemoArchive(DISC2);
    archive.WriteTo((folder / "disc2.pak"));

    const CliResult result = RunCli({"list", "--json", "disc2.pak"}, folder.Path());
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json doc = nlohmann::json::parse(result.out);
    EXPECT_EQ(doc.at("format"), 1);
    EXPECT_EQ(doc.at("archive"), "disc2.pak");
    EXPECT_EQ(doc.at("disc_id"), 1);
    EXPECT_EQ(doc.at("disc"), 2);   // the number on the disc, beside the catalogue's
    EXPECT_EQ(doc.at("disc_label"), "KVN Disc 2");
    const nlohmann::json& clips = doc.at("clips");
    ASSERT_EQ(clips.size(), archive.Clips().size());
    for (size_t i = 0; i < clips.size(); ++i) {
        const BuiltClip& built = archive.Clips()[i];
        const nlohmann::json& clip = clips[i];
        EXPECT_EQ(clip.at("number"), i + 1);
        EXPECT_EQ(clip.at("label"), FormatClipLabel(1, static_cast<uint32_t>(i)));
        EXPECT_EQ(clip.at("frames"), built.frames);
        EXPECT_EQ(clip.at("length"), FormatClipLength(built.frames));
        EXPECT_EQ(clip.at("hi_offset"), built.hiOffset);
        EXPECT_EQ(clip.at("hi_size"), built.hiSize);
        EXPECT_EQ(clip.at("hi_text"), FormatClipSize(built.hiSize));
        EXPECT_EQ(clip.at("lo_offset"), built.loOffset);
        EXPECT_EQ(clip.at("lo_size"), built.loSize);
        EXPECT_EQ(clip.at("lo_text"), FormatClipSize(built.loSize));
        EXPECT_DOUBLE_EQ(clip.at("seconds").get<double>(), built.frames / 15.0);
        EXPECT_EQ(clip.at("hi_width"), 640);
        EXPECT_EQ(clip.at("hi_height"), 448);
        EXPECT_EQ(clip.at("lo_width"), 320);
        EXPECT_EQ(clip.at("lo_height"), 224);
    }
}

TEST(CliList, PublisherArchiveHasNumberedLabelsAndNoDisc)
{
    ScratchFolder folder;
    BuildDemoArchive(PUBLISHER).WriteTo((folder / "PUBLISH.PAK"));

    const CliResult result = RunCli({"list", "--json", "PUBLISH.PAK"}, folder.Path());
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json doc = nlohmann::json::parse(result.out);
    EXPECT_EQ(doc.at("disc_id"), 255);
    EXPECT_EQ(doc.at("disc"), nullptr);
    EXPECT_EQ(doc.at("disc_label"), "Publisher");
    EXPECT_EQ(doc.at("clips").at(0).at("label"), "Clip 001");
    EXPECT_EQ(doc.at("clips").at(4).at("label"), "Clip 005");
}

TEST(CliList, EmptyArchiveListsNoClips)
{
    ScratchFolder folder;
    ArchiveBuilder().WriteTo((folder / "x.pak"));
    const CliResult result = RunCli({"list", "--json", "x.pak"}, folder.Path());
    ASSERT_EQ(result.status, 0) << result.err;
    const nlohmann::json doc = nlohmann::json::parse(result.out);
    EXPECT_EQ(doc.at("disc_label"), "Unknown PAK");
    EXPECT_TRUE(doc.at("clips").empty());

    // Nothing to extract is a failure of the archive, not of the command line.
    const CliResult extract = RunCli({"extract", "x.pak", "--all"}, folder.Path());
    EXPECT_EQ(extract.status, 1);
    EXPECT_EQ(extract.err, "zodovu-cli: x.pak: the archive holds no clips\n");
}

// Several archives: each table under its path, or each object in "archives"
// beside its path; one that cannot be listed is said, and the others listed.
TEST(CliList, SeveralArchivesEachUnderItsPath)
{
    ScratchFolder folder;
    BuildDemoArchive(DISC2).WriteTo(folder / "disc2.pak");
    BuildDemoArchive(PUBLISHER).WriteTo(folder / "publish.pak");
    const std::string disc2 = RunCli({"list", "disc2.pak"}, folder.Path()).out;
    const std::string publisher = RunCli({"list", "publish.pak"}, folder.Path()).out;

    const CliResult text = RunCli({"list", "disc2.pak", "publish.pak"}, folder.Path());
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "disc2.pak:\n" + disc2 + "\npublish.pak:\n" + publisher);

    const CliResult json = RunCli({"list", "--json", "disc2.pak", "gone.pak", "publish.pak"}, folder.Path());
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.err, std::string("zodovu-cli: gone.pak: ") + NO_SUCH_FILE + "\n");
    const nlohmann::json doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(doc.at("format"), 1);
    const nlohmann::json& archives = doc.at("archives");
    ASSERT_EQ(archives.size(), 3u);
    nlohmann::json alone = nlohmann::json::parse(RunCli({"list", "--json", "disc2.pak"}, folder.Path()).out);
    alone.erase("format");
    alone["path"] = "disc2.pak";
    EXPECT_EQ(archives[0], alone);
    EXPECT_EQ(archives[1], nlohmann::json({{"path", "gone.pak"}, {"error", std::string("gone.pak: ") + NO_SUCH_FILE}}));
    EXPECT_EQ(archives[2].at("disc_label"), "Publisher");
}

// A renamed disc archive is no disc by its name; where its clip count is one
// disc's, list and verify say which and how to read it as that disc.
TEST(CliList, ARenamedDiscIsNamedByItsClipCount)
{
    ScratchFolder folder;
    BuildDemoArchive(DISC2).WriteTo(folder / "backup.pak");   // 34 clips, as disc 2 has
    ArchiveBuilder().AddClip(30).AddClip(30).WriteTo(folder / "two.pak");
    const std::string note =
        "zodovu-cli: backup.pak: its name is no disc's, but its 34 clips match KVN Disc 2's; try --disc 2\n";
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"list", "backup.pak"}, note},
        {{"list", "--json", "backup.pak"}, note},
        {{"verify", "backup.pak"}, note},
        {{"list", "--disc", "2", "backup.pak"}, ""},
        {{"verify", "--disc", "2", "backup.pak"}, ""},
        {{"list", "two.pak"}, ""},
    };
    for (const auto& c : cases) {
        const CliResult result = RunCli(c.args, folder.Path());
        EXPECT_EQ(result.status, 0) << ::testing::PrintToString(c.args) << result.err;
        EXPECT_EQ(result.err, c.err) << ::testing::PrintToString(c.args);
    }
}

// --- Failures and usage -------------------------------------------------------

TEST(CliFailures, RejectedArchiveSaysInvalidMovieFile)
{
    ScratchFolder folder;
    ArchiveBuilder().AddClip(300).Overwrite(0, "XYZ").WriteTo((folder / "disc1.pak"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", "disc1.pak"}, {"list", "--json", "disc1.pak"},
          {"extract", "disc1.pak", "1"}}) {
        const CliResult result = RunCli(args, folder.Path());
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "zodovu-cli: disc1.pak: Invalid movie file (clip 1: no KVP header at offset 0)\n");
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"disc1.pak"});
}

TEST(CliFailures, MissingArchiveNamesTheFileAndTheReason)
{
    ScratchFolder folder;
    const CliResult result = RunCli({"list", "nowhere/disc9.pak"}, folder.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("nowhere/disc9.pak"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(NO_SUCH_FOLDER), std::string::npos) << result.err;
}

TEST(CliFailures, ListingThatCannotBeWrittenFails)
{
    SKIP_UNDER_WINE();
    if (::access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    ScratchFolder folder;
    BuildDemoArchive(DISC2).WriteTo((folder / "disc2.pak"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", "disc2.pak"}, {"list", "--json", "disc2.pak"}, {"--help"},
          {"verify", "disc2.pak"}, {"extract", "disc2.pak", "--all", "-v", "-o", "out"}}) {
        const CliResult result = RunCli(args, folder.Path(), "/dev/full");
        EXPECT_EQ(result.status, 1) << ::testing::PrintToString(args);
        // Its own reason, as the last word (extract's summary of the files comes first).
        EXPECT_EQ(Lines(result.err).back(), "zodovu-cli: standard output: No space left on device");
    }
    // Output meant for a standard output that was closed is a failure too, and
    // the archive is never opened in its place.
    CliStart shell;
    shell.program = "/bin/sh";
    for (const char* command : {"list disc2.pak >&-", "url disc2.pak 1 >&-", "extract disc2.pak 1 -o - >&-"}) {
        const CliResult result = RunProgram({"-c", std::string("'" ZODOVU_CLI "' ") + command}, folder.Path(), shell);
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(result.err, "zodovu-cli: standard output: Bad file descriptor\n") << command;
    }
    EXPECT_EQ(RunProgram({"-c", "'" ZODOVU_CLI "' list disc2.pak <&- 2>&-"}, folder.Path(), shell).status, 0);
}

// A usage error says what is wrong, the one-line usage of the subcommand and
// where to read more: never the whole help.
TEST(CliUsage, BadArgumentsExitWithTwoAndTheUsageLineOnStderr)
{
    ScratchFolder folder;
    BuildDemoArchive(DISC1).WriteTo(folder / "disc1.pak");   // 31 clips
    struct Case {
        std::vector<std::string> args;
        std::string message;   // the first line, or a part of it
        std::string usage;     // the start of the second line
    };
    const std::vector<Case> cases = {
        {{}, "subcommand is required", "Usage: zodovu-cli "},
        {{"lsit", "disc1.pak"}, "unknown subcommand 'lsit'", "Usage: zodovu-cli "},
        {{"help", "lsit"}, "unknown subcommand 'lsit'", "Usage: zodovu-cli help "},
        {{"list"}, "ARCHIVE", "Usage: zodovu-cli list "},
        {{"list", "--yaml", "a.pak"}, "--yaml", "Usage: zodovu-cli list "},
        {{"extract", "disc1.pak"}, "", "Usage: zodovu-cli extract "},
        {{"extract", "disc1.pak", "two"}, "two", "Usage: zodovu-cli extract "},
        {{"extract", "disc1.pak", "0"}, "", "Usage: zodovu-cli extract "},
        {{"extract", "disc1.pak", "30-32"}, "disc1.pak: no clip 32 (the archive holds 31 clips)",
         "Usage: zodovu-cli extract "},
        {{"url", "disc1.pak", "0x10"}, "0x10", "Usage: zodovu-cli url "},
        {{"url", "disc1.pak", "32"}, "disc1.pak: no clip 32 (the archive holds 31 clips)", "Usage: zodovu-cli url "},
        {{"play", "disc1.pak"}, "NUMBER", "Usage: zodovu-cli play "},
        {{"play", "disc1.pak", "1", "--player", ""}, "--player", "Usage: zodovu-cli play "},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli(c.args, folder.Path());
        std::vector<std::string> lines = Lines(result.err);
        EXPECT_EQ(result.status, 2) << ::testing::PrintToString(c.args);
        EXPECT_EQ(result.out, "");
        if (lines.size() == 4 && lines[2].rfind("  or:  zodovu-cli ", 0) == 0)
            lines.erase(lines.begin() + 2);   // a second form of the subcommand
        ASSERT_EQ(lines.size(), 3u) << result.err;
        EXPECT_EQ(lines[0].rfind("zodovu-cli: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(c.message), std::string::npos) << lines[0];
        EXPECT_EQ(lines[1].rfind(c.usage, 0), 0u) << lines[1];
        EXPECT_EQ(lines[2].rfind("Try 'zodovu-cli --help'", 0), 0u) << lines[2];
    }
}

// Every refusal of the command line in the tool's words, never the parser's;
// a range is the chosen format's own.
TEST(CliUsage, RefusalsAreInTheToolsWords)
{
    ScratchFolder folder;
    const struct {
        std::vector<std::string> args;
        std::string first;   // the first line, after "zodovu-cli: "
    } cases[] = {
        {{}, "a subcommand is required"},
        {{"--frob"}, "unknown option '--frob'"},
        {{"list", "--yaml", "a.pak"}, "unknown option '--yaml'"},
        {{"url", "a.pak", "1", "2"}, "unexpected argument '2'"},
        {{"url", "--", "a.pak", "1", "2"}, "unexpected argument '2'"},
        // A misspelled option's value taken for an argument: the option is the fault.
        {{"convert", "--fromat", "webm", "a.pak", "1"}, "unknown option '--fromat'"},
        {{"index", "--out", "x", "a.pak"}, "unknown option '--out'"},
        {{"convert", "a.pak", "1", "--crf", "-1"}, "--crf: runs from 0 to 51 for mp4"},
        {{"convert", "a.pak", "1", "--format", "webm", "--crf", "64"}, "--crf: runs from 0 to 63 for webm"},
        {{"convert", "a.pak", "1", "--crf", "0x10"}, "--crf: not a decimal number: '0x10'"},
        {{"convert", "a.pak", "1", "--crf"}, "--crf: needs a value"},
        {{"convert", "a.pak", "1", "--format", "avi"}, "--format: no format 'avi' (the formats are mp4 and webm)"},
        {{"verify", "-j", "0", "a.pak"}, "--jobs: not a number from 1 to 256: '0'"},
        {{"list", "--disc", "1", "--disc", "2", "a.pak"}, "--disc: given more than once"},
        {{"list", "--disc", "5", "a.pak"}, "--disc: no disc '5' (the discs are 1, 2, 3, 4 and publisher)"},
        {{"list", "--json=maybe", "a.pak"}, "--json: takes no value, or true or false, not 'maybe'"},
        {{"extract", "a.pak", "1", "--lo", "--both"}, "--lo and --both cannot be given together"},
        {{"index", "a.pak", "-o", "x", "--lo"}, "--lo: needs --convert"},
        // Decimal, whatever the leading zeros: as octal, 061 would be 49 and 0257 175.
        {{"convert", "a.pak", "1", "--crf", "061"}, "--crf: runs from 0 to 51 for mp4"},
        {{"verify", "-j", "0257", "a.pak"}, "--jobs: not a number from 1 to 256: '0257'"},
        // Past 2^64 stays past every range: 2^64 + 1 is not one.
        {{"verify", "-j", "18446744073709551617", "a.pak"}, "--jobs: not a number from 1 to 256: '18446744073709551617'"},
    };
    for (const auto& c : cases) {
        const CliResult result = RunCli(c.args, folder.Path());
        EXPECT_EQ(result.status, 2) << ::testing::PrintToString(c.args);
        EXPECT_EQ(Lines(result.err).at(0), "zodovu-cli: " + c.first);
    }
    // Leading zeros mean nothing ("08" is no octal digit, yet eight).
    BuildDemoArchive(DISC4).WriteTo(folder / "renamed.pak");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list", "--disc", "04", "renamed.pak"}, {"verify", "-j", "08", "renamed.pak"}}) {
        const CliResult result = RunCli(args, folder.Path());
        EXPECT_EQ(result.status, 0) << result.err;
    }
    EXPECT_EQ(Lines(RunCli({"list", "--disc", "04", "renamed.pak"}, folder.Path()).out).at(0), "KVN Disc 4");
    // Past the command line (a build without decoding then refuses convert itself).
    const CliResult converted = RunCli({"convert", "none.pak", "1", "--crf", "08", "-j", "010"}, folder.Path());
    EXPECT_NE(converted.status, 0);
    EXPECT_EQ(converted.err.find("--"), std::string::npos) << converted.err;
}

#ifdef MAKE_DEMO_ARCHIVES

// The demo maker takes no option for its folder: --help is its help, and an
// option it does not know is refused, with nothing written.
TEST(MakeDemoArchives, TakesHelpAndRefusesOptionsItDoesNotKnow)
{
    ScratchFolder folder;
    CliStart start;
    start.program = MAKE_DEMO_ARCHIVES;
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;   // the first line
    } cases[] = {
        {{"--help"}, 0, ""},
        {{"-h"}, 0, ""},
        {{"--force", "demo"}, 2, "make-demo-archives: unknown option '--force'"},
        {{}, 2, "make-demo-archives: DIR is required"},
        {{"demo", "more"}, 2, "make-demo-archives: one folder only: 'more' follows 'demo'"},
    };
    for (const auto& c : cases) {
        const CliResult result = RunProgram(c.args, folder.Path(), start);
        EXPECT_EQ(result.status, c.status) << ::testing::PrintToString(c.args);
        EXPECT_EQ(c.err.empty() ? result.err : Lines(result.err).at(0), c.err);
        if (c.status == 0) {
            EXPECT_EQ(result.out.rfind("Usage: make-demo-archives DIR\n", 0), 0u) << result.out;
        }
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{});
    const CliResult dashed = RunProgram({"--", "-odd"}, folder.Path(), start);
    EXPECT_EQ(dashed.status, 0) << dashed.err;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"-odd"});
}

#endif

#ifdef ZODOVU_CLI_WITHOUT_DECODING

// A build without FFmpeg's libraries lists no subcommand it does not have,
// says so where its help names one, and refuses each decoding command in one
// line, after reading the command line as any build does.
TEST(CliUsage, ABuildWithoutDecodingSaysWhatItHasNot)
{
    ScratchFolder folder;
    CliStart start;
    start.program = ZODOVU_CLI_WITHOUT_DECODING;
    const auto run = [&](const std::vector<std::string>& args) { return RunProgram(args, folder.Path(), start); };
    const std::string help = run({"--help"}).out;
    EXPECT_NE(help.find("\n  verify "), std::string::npos) << help;
    EXPECT_EQ(help.find("\n  convert "), std::string::npos) << help;
    EXPECT_EQ(help.find("\n  index "), std::string::npos) << help;
    EXPECT_EQ(help.find("convert"), std::string::npos) << help;
    EXPECT_NE(run({"help", "index"}).out.find("\nThis build of zodovu-cli does not decode clips: it has no index.\n"),
              std::string::npos);
    const struct {
        std::vector<std::string> args;
        std::string refusal;
    } cases[] = {
        {{"convert", "disc.pak", "1"}, "convert"},
        {{"index", "disc.pak", "-o", "site"}, "index"},
        {{"verify", "--frames=true", "disc.pak"}, "verify --frames"},
    };
    for (const auto& c : cases) {
        const CliResult result = run(c.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "zodovu-cli: " + c.refusal + " is not in this build of zodovu-cli, which does not "
                                                         "decode clips\n");
    }
    EXPECT_EQ(Lines(run({"convert", "disc.pak", "1", "--crf", "55"}).err).at(0),
              "zodovu-cli: --crf: runs from 0 to 51 for mp4");
    EXPECT_EQ(run({"verify", "disc.pak"}).err, "zodovu-cli: disc.pak: No such file or directory\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{});
}

#endif

TEST(CliUsage, HelpAndVersionGoToStdout)
{
    ScratchFolder folder;
    const CliResult help = RunCli({"--help"}, folder.Path());
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage:"), std::string::npos);
    EXPECT_NE(help.out.find("extract"), std::string::npos);
    EXPECT_NE(help.out.find("Exit status: 0 success; 1 "), std::string::npos);
    EXPECT_EQ(RunCli({"help"}, folder.Path()).out, help.out);

    const CliResult extractHelp = RunCli({"help", "extract"}, folder.Path());
    EXPECT_EQ(extractHelp.status, 0);
    EXPECT_EQ(extractHelp.err, "");
    EXPECT_EQ(extractHelp.out.rfind("Usage: zodovu-cli extract ", 0), 0u) << extractHelp.out;
    EXPECT_EQ(extractHelp.out, RunCli({"extract", "--help"}, folder.Path()).out);
    // Written for 80 columns, and in the tool's words, not the parser's.
    for (const char* command : {"list", "extract", "convert", "verify", "replace", "pack", "index", "url", "play",
                                "help"}) {
        const CliResult commandHelp = RunCli({"help", command}, folder.Path());
        EXPECT_EQ(commandHelp.status, 0);
        for (const std::string& line : Lines(help.out + commandHelp.out)) {
            EXPECT_LE(line.size(), 80u) << line;
            EXPECT_EQ(line.find("TEXT"), std::string::npos) << line;
            EXPECT_EQ(line.find("Excludes"), std::string::npos) << line;
        }
    }

    const CliResult version = RunCli({"--version"}, folder.Path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "zodovu-cli " ZODOVU_VERSION "\n");
}

} // namespace
