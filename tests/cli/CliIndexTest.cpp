// index: the page and the posters that the real program writes from a builder
// archive with clips that decode, one whose bitstream is damaged and one whose
// headers are refused. Each poster is decoded again with ffmpeg and compared,
// block by block, with the picture its clip shows. zodovu-cli.exe has no index.
#include "catalogue/ClipTable.h"
#include "catalogue/ClipTexts.h"
#include "CliRunner.h"
#include "output/ClipNames.h"
#include "PseudoTerminal.h"
#include "file/PathNames.h"

#include <gtest/gtest.h>

#include <regex>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// "a&b <#1>.pak": a name that HTML and URLs must both escape.
const char ARCHIVE[] = "a&b <#1>.pak";
constexpr DiscId DISC2 = 1;   // --disc 2: its titles, one with an apostrophe

struct IndexedClip {
    BinkShape hi;
    BinkShape lo;
    std::string reason;   // how the page and stderr name a clip without a poster; empty: it has one
    uint32_t blackFrames = 0;   // black before the clip's picture shows
};

// The encoding of shape, its first frames black.
std::vector<uint8_t> OpeningBlack(const BinkShape& shape, uint32_t blackFrames)
{
    BinkWriter writer(shape.width, shape.height, CLIP_FRAME_RATE);
    for (uint32_t frame = 0; frame < shape.frames; ++frame) {
        const bool black = frame < blackFrames;
        writer.AddFrame(black ? BinkBlocks(shape.width, shape.height, 16, 128, 128) : ClipPicture(shape, frame),
                        frame == 0 || frame == blackFrames);
    }
    return writer.Finish();
}

class CliIndex : public ::testing::Test {
protected:
    void SetUp() override
    {
        BinkShape damaged = HiResShape(10, 2), damagedLate = HiResShape(40, 6);
        damaged.damage = damagedLate.damage = BinkDamage::UnknownBlockType;
        damaged.damagedFrame = 3;       // among the frames weighed for the poster
        damagedLate.damagedFrame = 35;  // past them: only a conversion meets it
        m_clips = {
            {HiResShape(12, 1), LoResShape(12, 1), ""},
            {damaged, LoResShape(10, 2), "clip 2 (high-res.): frame 4 of 10: "},
            // Headers that the plain checks refuse: never decoded, their finding stands.
            {LoResShape(8, 3), LoResShape(8, 3), "clip 3: the high-resolution video's header gives 320x224"},
            {HiResShape(40, 4), LoResShape(40, 4), ""},
            // Black for the first third: the poster is a frame that shows the clip.
            {HiResShape(21, 5), LoResShape(21, 5), "", 7},
            {damagedLate, LoResShape(40, 6), ""},
        };
        ArchiveBuilder archive;
        for (const IndexedClip& clip : m_clips)
            archive.AddClip(clip.blackFrames ? OpeningBlack(clip.hi, clip.blackFrames) : BuildBinkFile(clip.hi),
                            BuildBinkFile(clip.lo));
        archive.WriteTo(m_folder / ARCHIVE);
    }
    CliResult Run(const std::vector<std::string>& args) { return RunCli(args, m_folder.Path()); }

    ScratchFolder m_folder;
    std::vector<IndexedClip> m_clips;
};

#ifdef ZODOVU_CLI_UNDER_WINE

TEST_F(CliIndex, IsNotInTheWindowsBuild)
{
    const CliResult result = Run({"index", ARCHIVE, "-o", "site"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "zodovu-cli: index is not in this build of zodovu-cli, which does not decode clips\n");
    EXPECT_FALSE(fs::exists(m_folder / "site"));
}

#else

std::string PercentDecoded(const std::string& url)
{
    std::string name;
    for (size_t i = 0; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size()) {
            name += static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            name += url[i];
        }
    }
    return name;
}

// The text an HTML page's escapes stand for.
std::string Unescaped(const std::string& html)
{
    std::string text = html;
    for (const auto& [escape, character] : {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"},
                                            {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}})
        text = std::regex_replace(text, std::regex(escape), character);
    return text;
}

#ifdef FFMPEG
// The blocks that every frame of shape shows alike (all but the bar's path)
// against the decoded JPEG: each 8x8 luma block's mean and each chroma
// block's within what JPEG's quantisation and the range conversions lose.
void ExpectShows(const std::string& jpeg, const BinkShape& shape, const fs::path& folder)
{
    CliStart start;
    start.program = FFMPEG;
    const CliResult raw =
        RunProgram({"-v", "error", "-i", jpeg, "-f", "rawvideo", "-pix_fmt", "yuv420p", "-"}, folder, start);
    const size_t width = shape.width, height = shape.height;
    ASSERT_EQ(raw.out.size(), width * height * 3 / 2) << raw.err;
    const auto sample = [&](size_t plane, size_t x, size_t y) {
        const size_t offset = plane == 0 ? 0 : width * height + (plane - 1) * (width / 2) * (height / 2);
        return static_cast<unsigned char>(raw.out[offset + y * (plane == 0 ? width : width / 2) + x]);
    };
    const auto blockMean = [&](size_t plane, size_t bx, size_t by) {
        int sum = 0;
        for (size_t y = 0; y < 8; ++y)
            for (size_t x = 0; x < 8; ++x)
                sum += sample(plane, bx * 8 + x, by * 8 + y);
        return sum / 64.0;
    };
    const BinkBlocks first = ClipPicture(shape, 0);
    std::vector<bool> still(first.y.size(), true);
    for (uint32_t frame = 1; frame < first.LumaAcross(); ++frame) {
        const BinkBlocks picture = ClipPicture(shape, frame);
        for (size_t i = 0; i < still.size(); ++i)
            still[i] = still[i] && picture.y[i] == first.y[i];
    }
    int compared = 0;
    for (size_t i = 0; i < first.y.size(); ++i) {
        if (!still[i])
            continue;
        ++compared;
        const size_t bx = i % first.LumaAcross(), by = i / first.LumaAcross();
        ASSERT_NEAR(blockMean(0, bx, by), first.y[i], 4.0) << jpeg << ": luma block " << bx << "," << by;
    }
    EXPECT_GT(compared, static_cast<int>(first.y.size() / 2));
    for (size_t i = 0; i < first.u.size(); ++i) {
        const size_t bx = i % first.ChromaAcross(), by = i / first.ChromaAcross();
        ASSERT_NEAR(blockMean(1, bx, by), first.u[i], 4.0) << jpeg << ": U block " << bx << "," << by;
        ASSERT_NEAR(blockMean(2, bx, by), first.v[i], 4.0) << jpeg << ": V block " << bx << "," << by;
    }
}
#endif

TEST_F(CliIndex, PostersShowTheirClipsAndADamagedClipNamesItsReason)
{
    const CliResult result = Run({"index", "--disc", "2", "-j", "2", ARCHIVE, "-o", "site"});
    EXPECT_EQ(result.status, 1);
    const std::vector<std::string> lines = Lines(result.err);
    ASSERT_EQ(lines.size(), 3u) << result.err;
    EXPECT_EQ(lines[0].rfind("zodovu-cli: " + std::string(ARCHIVE) + ": " + m_clips[1].reason, 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("zodovu-cli: " + std::string(ARCHIVE) + ": " + m_clips[2].reason, 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "zodovu-cli: 4 of 6 posters made, 2 failed; site/index.html written");

    const std::string page = ReadWholeFile(m_folder / "site/index.html");
    ASSERT_NE(page.find("</html>"), std::string::npos);
    EXPECT_NE(page.find("<small>a&amp;b &lt;#1&gt;.pak</small>"), std::string::npos);
    EXPECT_NE(page.find("6 clips, 0:08 in all"), std::string::npos);   // 131 frames

    // Each card: its poster (a file of the folder, by a relative URL) and the
    // clip's title as its alt, or the reason in its place.
    const std::regex card("<li class=\"card\" id=\"disc-1-clip-([0-9]+)\">\n(?:<img class=\"poster\" src=\"([^\"]*)\" "
                          "alt=\"([^\"]*)\"|<div class=\"poster missing\"><p>([^<]*)</p>)");
    size_t cards = 0;
    for (std::sregex_iterator it(page.begin(), page.end(), card), end; it != end; ++it, ++cards) {
        const std::smatch& match = *it;
        const size_t index = std::stoul(match[1]) - 1;
        ASSERT_LT(index, m_clips.size());
        const IndexedClip& clip = m_clips[index];
        SCOPED_TRACE("clip " + match[1].str());
        if (!clip.reason.empty()) {
            const std::string shown = Unescaped(match[4]);
            EXPECT_EQ(shown.rfind(clip.reason, 0), 0u) << shown;
            EXPECT_NE(lines[index == 1 ? 0 : 1].find(shown), std::string::npos);   // the words of stderr
            continue;
        }
        const std::string title = FormatClipLabel(DISC2, static_cast<uint32_t>(index));
        EXPECT_EQ(Unescaped(match[3]), title);
        EXPECT_EQ(match[2].str().find_first_of(" #<>&"), std::string::npos) << match[2];
        const fs::path poster = m_folder / ("site/" + PercentDecoded(match[2]));
        ASSERT_TRUE(fs::is_regular_file(poster)) << poster;
#ifdef FFMPEG
        ExpectShows(poster, clip.hi, m_folder.Path());
#endif
    }
    EXPECT_EQ(cards, m_clips.size());
    size_t files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder / "site"))
        files += entry.path().extension() == ".jpg";
    EXPECT_EQ(files, 4u);
}

// --convert: each clip converted beside the page and played in its card; an
// encoding that made no poster is not tried again (nor named twice), and a
// conversion that fails past the poster's frames is named on the card.
TEST_F(CliIndex, ConvertedClipsPlayInTheirCards)
{
    const CliResult result = Run({"index", "--disc", "2", ARCHIVE, "-o", "site", "--convert", "--preset", "ultrafast"});
    EXPECT_EQ(result.status, 1);
    const std::vector<std::string> lines = Lines(result.err);
    ASSERT_EQ(lines.size(), 4u) << result.err;
    const std::string late = "site/" + BatchClipName("a&b <#1>", 5, Resolution::High, FormatClipLabel(DISC2, 5),
                                                     ".mp4");
    EXPECT_EQ(lines[2].rfind("zodovu-cli: " + late + ": clip 6 (high-res.): frame 36 of 40: ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], "zodovu-cli: 4 of 6 posters made, 2 failed, 3 of 6 files converted, 3 failed; "
                        "site/index.html written");

    const std::string page = ReadWholeFile(m_folder / "site/index.html");
    const std::regex player("<li class=\"card\" id=\"disc-1-clip-([0-9]+)\">\n<video class=\"poster\" controls "
                            "preload=\"none\" width=\"640\" height=\"448\" poster=\"([^\"]*)\" aria-label="
                            "\"([^\"]*)\"><source src=\"([^\"]*)\" type=\"video/mp4\">");
    std::vector<std::string> playing;
    for (std::sregex_iterator it(page.begin(), page.end(), player), end; it != end; ++it) {
        const std::smatch& match = *it;
        playing.push_back(match[1]);
        const uint32_t index = static_cast<uint32_t>(std::stoul(match[1]) - 1);
        EXPECT_EQ(Unescaped(match[3]), FormatClipLabel(DISC2, index));
        EXPECT_TRUE(fs::is_regular_file(m_folder / ("site/" + PercentDecoded(match[2]))));
        EXPECT_TRUE(fs::is_regular_file(m_folder / ("site/" + PercentDecoded(match[4]))));
    }
    EXPECT_EQ(playing, (std::vector<std::string>{"1", "4", "5"}));
    EXPECT_NE(page.find("<p class=\"failure\">clip 6 (high-res.): frame 36 of 40: "), std::string::npos);
    EXPECT_FALSE(fs::exists(m_folder / late));

    EXPECT_EQ(Run({"index", ARCHIVE, "-o", "other", "--lo"}).status, 2);   // convert's settings need --convert
}

// --conceal: a clip damaged among the frames weighed for its poster has one,
// and with --convert each damaged clip plays in its card; each is named with
// what was concealed, once (by its file when it is converted), and the run fails.
TEST_F(CliIndex, ConcealGivesDamagedClipsTheirPostersAndFiles)
{
    const std::string prefix = "zodovu-cli: " + std::string(ARCHIVE) + ": ";
    const CliResult posters = Run({"index", "--conceal", ARCHIVE, "-o", "site"});
    EXPECT_EQ(posters.status, 1);
    std::vector<std::string> lines = Lines(posters.err);
    ASSERT_EQ(lines.size(), 3u) << posters.err;
    EXPECT_EQ(lines[0], prefix + "clip 2 (high-res.): 1 frame concealed: frame 4 of 10: Unknown block type 10");
    EXPECT_EQ(lines[1].rfind(prefix + m_clips[2].reason, 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "zodovu-cli: 5 of 6 posters made, 1 failed; site/index.html written");
    EXPECT_NE(ReadWholeFile(m_folder / "site/index.html")
                  .find("<p class=\"failure\">clip 2 (high-res.): 1 frame concealed: frame 4 of 10: "),
              std::string::npos);

    const CliResult files =
        Run({"index", "--conceal", "--convert", "--preset", "ultrafast", "-j", "1", "--disc", "2", ARCHIVE, "-o",
             "conv"});
    EXPECT_EQ(files.status, 1);
    lines = Lines(files.err);
    ASSERT_EQ(lines.size(), 4u) << files.err;
    const auto file = [](uint32_t index) {
        const std::string name =
            BatchClipName("a&b <#1>", static_cast<int>(index), Resolution::High, FormatClipLabel(DISC2, index), ".mp4");
        return "zodovu-cli: conv/" + name + ": ";
    };
    EXPECT_EQ(lines[0].rfind(prefix + m_clips[2].reason, 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], file(1) + "clip 2 (high-res.): 1 frame concealed: frame 4 of 10: Unknown block type 10");
    EXPECT_EQ(lines[2], file(5) + "clip 6 (high-res.): 1 frame concealed: frame 36 of 40: Unknown block type 10");
    EXPECT_EQ(lines[3], "zodovu-cli: 5 of 6 posters made, 1 failed, 5 of 6 files converted, 1 failed; "
                        "conv/index.html written");

    // A poster made anew beside a conversion kept from before: nothing decodes
    // the clip but the poster, which says what it concealed.
    const std::string poster =
        BatchClipName("a&b <#1>", 1, Resolution::High, FormatClipLabel(DISC2, 1), ".jpg");
    ASSERT_TRUE(fs::remove(m_folder / ("conv/" + poster)));
    const CliResult again =
        Run({"index", "--conceal", "--convert", "-j", "1", "--disc", "2", ARCHIVE, "-o", "conv"});
    EXPECT_EQ(again.status, 1);
    lines = Lines(again.err);
    ASSERT_EQ(lines.size(), 3u) << again.err;
    EXPECT_EQ(lines[0], prefix + "clip 2 (high-res.): 1 frame concealed: frame 4 of 10: Unknown block type 10");
}

TEST_F(CliIndex, ProgressLineOnlyOnATerminalAndClearedForEachMessage)
{
    PseudoTerminal terminal;
    terminal.SetColumns(120);
    CliStart start;
    start.stderrPath = terminal.SlavePath();
    const CliResult result =
        FinishCli(StartCli({"index", ARCHIVE, "-o", "site"}, m_folder.Path(), start), m_folder.Path(), start);
    EXPECT_EQ(result.status, 1);
    const std::string shown = terminal.ReadAll();
    EXPECT_NE(shown.find("\rMaking posters site"), std::string::npos) << shown;
    EXPECT_NE(shown.find("100% 6/6 posters"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" \rzodovu-cli: " + std::string(ARCHIVE) + ": clip 2 (high-res.)"), std::string::npos) << shown;

    EXPECT_EQ(Run({"index", "--force", ARCHIVE, "-o", "site"}).err.find('\r'), std::string::npos);
}

// A page that is not index's own is kept without --force; archives whose
// files would get the same names, after every cut and substitution, are refused
// before anything is made.
TEST_F(CliIndex, APageNotOursIsKeptAndNoTwoArchivesShareNames)
{
    fs::create_directories(m_folder / "mine");
    const std::vector<uint8_t> theirs = {'<', 'p', '>', 'h', 'i'};
    m_folder.Write("mine/index.html", theirs);
    for (const char* folder : {"x", "y", "dots", "long"})
        fs::create_directories(m_folder / folder);
    fs::copy_file(m_folder / ARCHIVE, m_folder / "x/disc2.pak");
    fs::copy_file(m_folder / ARCHIVE, m_folder / "y/DISC2.pak");
    fs::copy_file(m_folder / ARCHIVE, m_folder / "dots/.x.pak");   // its names begin "_x-", as _x.pak's do
    fs::copy_file(m_folder / ARCHIVE, m_folder / "dots/_x.pak");
    const std::string stem = "long/" + std::string(246, 'a');        // both cut to the same 246 bytes
    fs::copy_file(m_folder / ARCHIVE, m_folder / (stem + "b.pak"));
    fs::copy_file(m_folder / ARCHIVE, m_folder / (stem + "c.pak"));
    const std::string apart = " would give their clips the same file names";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;   // its start
    } cases[] = {
        {{"index", ARCHIVE, "-o", "mine"}, 1,
         "zodovu-cli: mine/index.html: already exists and is not a page of zodovu-cli's (--force overwrites it)\n"},
        {{"index", "x/disc2.pak", "y/DISC2.pak", "-o", "both"}, 2, "zodovu-cli: 'x/disc2.pak' and 'y/DISC2.pak'" + apart},
        {{"index", "dots/.x.pak", "dots/_x.pak", "-o", "both"}, 2, "zodovu-cli: 'dots/.x.pak' and 'dots/_x.pak'" + apart},
        {{"index", stem + "b.pak", stem + "c.pak", "-o", "both"}, 2, "zodovu-cli: '" + stem + "b.pak' and '" + stem + "c.pak'" + apart},
        {{"index", "x/disc2.pak", "-o", "x/disc2.pak"}, 1, "zodovu-cli: x/disc2.pak: "},
        {{"index", ARCHIVE}, 2, "zodovu-cli: --output is required"},
        {{"index", ARCHIVE, "-o", "-"}, 2, "zodovu-cli: -o -: the index is a folder of files, not standard output"},
        {{"index", ARCHIVE, "-o", "both", "-q", "-v"}, 2, "zodovu-cli: "},
    };
    for (const auto& c : cases) {
        const CliResult result = Run(c.args);
        EXPECT_EQ(result.status, c.status) << ::testing::PrintToString(c.args);
        EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << result.err;
    }
    EXPECT_FALSE(fs::exists(m_folder / "both"));
    EXPECT_FALSE(fs::exists(m_folder / "-"));
    EXPECT_EQ(ReadWholeFile(m_folder / "mine/index.html"), Text(theirs));

    const CliResult forced = Run({"index", "--force", ARCHIVE, "-o", "mine"});
    EXPECT_EQ(forced.status, 1);   // the damaged clips
    const std::string written = ReadWholeFile(m_folder / "mine/index.html");
    EXPECT_NE(written.find("</html>"), std::string::npos);
}

// Clips that all decode, for runs that end in status 0.
class CliIndexRuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        ArchiveBuilder archive;
        for (uint32_t clip = 1; clip <= 3; ++clip)
            archive.AddClip(BuildBinkFile(HiResShape(6, clip)), BuildBinkFile(LoResShape(6, clip)));
        archive.WriteTo(m_folder / "clean.pak");
    }
    CliResult Run(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--convert", "--preset", "ultrafast"});
        return RunCli(args, m_folder.Path());
    }
    static std::string Named(const std::string& stem, uint32_t index, const char* extension)
    {
        return BatchClipName(stem, static_cast<int>(index), Resolution::High, FormatClipLabel(DISC_NONE, index),
                             extension);
    }
    static size_t Count(const std::string& text, const std::string& part)
    {
        size_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++count;
        return count;
    }

    ScratchFolder m_folder;
};

// A run that was cut short leaves finished files and no page: the next run
// uses those, makes the rest and writes a whole page; a run with one more
// disc adds its section, the first disc's files used again.
TEST_F(CliIndexRuns, AnInterruptedRunIsResumedAndADiscAdded)
{
    ASSERT_EQ(Run({"index", "clean.pak", "-o", "site"}).status, 0);
    const std::string kept = m_folder / ("site/" + Named("clean", 0, ".mp4"));
    const fs::file_time_type keptTime = fs::last_write_time(kept);
    fs::remove(m_folder / "site/index.html");
    fs::remove(m_folder / ("site/" + Named("clean", 1, ".jpg")));
    fs::remove(m_folder / ("site/" + Named("clean", 2, ".mp4")));
    fs::copy_file(m_folder / "clean.pak", m_folder / "more.pak");

    const struct {
        std::vector<std::string> args;
        std::string err;
        size_t sections;
    } runs[] = {
        {{"index", "clean.pak", "-o", "site"},
         "zodovu-cli: 1 poster made, 2 reused, 1 file converted, 2 reused; site/index.html written\n", 1},
        {{"index", "clean.pak", "more.pak", "-o", "site"},
         "zodovu-cli: 3 posters made, 3 reused, 3 files converted, 3 reused; site/index.html written\n", 2},
        {{"index", "clean.pak", "more.pak", "-o", "site", "-q"}, "", 2},
    };
    for (const auto& run : runs) {
        const CliResult result = Run(run.args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, run.err);
        const std::string page = ReadWholeFile(m_folder / "site/index.html");
        EXPECT_EQ(Count(page, "<video class=\"poster\" controls preload=\"none\""), 3 * run.sections);
        EXPECT_EQ(Count(page, "<div class=\"poster missing\""), 0u);
        EXPECT_EQ(Count(page, "<h2>"), run.sections);
        EXPECT_EQ(page.find("Unknown PAK"), std::string::npos);   // each section named by its archive
        EXPECT_NE(page.find("<h2>clean.pak</h2>"), std::string::npos);
    }
    EXPECT_EQ(fs::last_write_time(kept), keptTime);
    for (uint32_t index = 0; index < 3; ++index)
        for (const char* stem : {"clean", "more"})
            for (const char* extension : {".jpg", ".mp4"})
                EXPECT_TRUE(fs::is_regular_file(m_folder / ("site/" + Named(stem, index, extension))));
}

// Every archive of the run is kept from every write, the conversions' too,
// however it is named; and the page names a file by its name alone, never by
// the machine's folders.
TEST_F(CliIndexRuns, NoArchiveOfTheRunIsWrittenAndThePageShowsNoFolder)
{
    const std::string site = m_folder / "site";
    fs::create_directories(site);
    const std::string named = site + "/" + Named("clean", 0, ".mp4");
    fs::copy_file(m_folder / "clean.pak", named);
    const std::string before = ReadWholeFile(named);
    const CliResult result = Run({"index", "--force", m_folder / "clean.pak", named, "-o", site});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("zodovu-cli: " + named + ": is the archive itself; refusing to write to it\n"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(ReadWholeFile(named) == before);   // no dump of the bytes
    const std::string page = ReadWholeFile(site + "/index.html");
    EXPECT_NE(page.find("<p class=\"failure\">" + NameOf(named) + ": is the archive itself"),
              std::string::npos);
    EXPECT_EQ(page.find(m_folder.Path()), std::string::npos);
}

#endif

} // namespace
