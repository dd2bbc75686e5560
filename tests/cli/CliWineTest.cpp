// What only Windows has, tried on zodovu-cli.exe under Wine: names that are not
// ASCII, a reserved device name as an archive's stem, paths past MAX_PATH, the
// URL's drive-letter path, and a player given exactly our arguments.
#include "catalogue/ClipTexts.h"
#include "CliExtractFixture.h"
#include "output/ClipNames.h"

#include <nlohmann/json.hpp>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// The path a Windows program under Wine knows a host path by.
std::string WinePath(std::string path)
{
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return "Z:" + path;
}

std::string Titled(const char* stem, uint32_t index, DiscId disc = DISC_NONE)
{
    return BatchClipName(stem, static_cast<int>(index), Resolution::High, FormatClipLabel(disc, index));
}

TEST_F(CliExtract, NamesThatAreNotAsciiWork)
{
    const std::string archive = "disque-\xc3\xa9t\xc3\xa9.pak", folder = "sortie-\xc3\xbc";
    fs::copy_file(m_folder / "disc1.pak", m_folder / archive);
    const CliResult listed = Run({"list", "--json", archive});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(nlohmann::json::parse(listed.out).at("archive"), archive);

    const CliResult batch = Run({"extract", archive, "1-2", "-o", folder, "-v"});
    ASSERT_EQ(batch.status, 0) << batch.err;
    const std::string first = folder + "/" + Titled("disque-\xc3\xa9t\xc3\xa9", 0);
    EXPECT_EQ(Lines(batch.out).at(0), first);   // UTF-8 on a pipe
    EXPECT_TRUE(ReadWholeFile(m_folder / first) == Hi(0));
}

TEST_F(CliExtract, ReservedDeviceNamesAndLongPaths)
{
    fs::copy_file(m_folder / "disc1.pak", m_folder / "nul.pak");
    // Plain "nul.pak" is the null device; in the "\\?\" form it is the file,
    // and its stem still makes names a folder takes.
    const CliResult device = Run({"list", "nul.pak"});
    EXPECT_EQ(device.status, 1);
    EXPECT_EQ(device.err, "zodovu-cli: nul.pak: Not a regular file\n");
    const CliResult file = Run({"extract", "\\\\?\\" + WinePath(m_folder / "nul.pak"), "1-2", "-o", "out"});
    ASSERT_EQ(file.status, 0) << file.err;
    EXPECT_TRUE(ReadWholeFile(m_folder / ("out/" + Titled("nul", 1))) == Hi(1));

    // Folders past the 260 characters of a plain path.
    std::string deep = "deep";
    for (int i = 0; i < 3; ++i)
        deep += "/" + std::string(90, static_cast<char>('a' + i));
    ASSERT_GT(WinePath(m_folder / deep).size(), 260u);
    const CliResult longPath = Run({"extract", "disc1.pak", "3", "--both", "-o", deep});
    ASSERT_EQ(longPath.status, 0) << longPath.err;
    EXPECT_TRUE(ReadWholeFile(m_folder / (deep + "/" + Titled("disc1", 2, DISC1))) == Hi(2));
}

TEST_F(CliExtract, UrlNamesTheArchiveByItsDrivePath)
{
    const CliResult url = Run({"url", "disc1.pak", "1"});
    ASSERT_EQ(url.status, 0) << url.err;
    const BuiltClip& clip = m_archive.Clips()[0];
    EXPECT_EQ(url.out, "subfile,,start," + std::to_string(clip.hiOffset) + ",end," +
                           std::to_string(clip.hiOffset + clip.hiSize) + ",,:" + WinePath(m_folder / "disc1.pak") +
                           "\n");
}

// The player splits its command line itself: it must get back exactly the
// arguments, from a folder with blanks, and its status comes back.
TEST_F(CliExtract, PlayerGetsExactlyItsArgumentsAndGivesBackItsStatus)
{
    fs::create_directory(m_folder / "a player");
    fs::copy_file(STAND_IN_PLAYER, m_folder / "a player/stand in.exe");
    const std::string url = Lines(Run({"url", "disc1.pak", "2", "--lo"}).out).at(0);
    const CliResult played = RunCli({"play", "disc1.pak", "2", "--lo", "--player", "a player\\stand in.exe"},
                                    m_folder.Path(), nullptr,
                                    {"STAND_IN_PLAYER_LOG=" + WinePath(m_folder / "player.log"),
                                     "STAND_IN_PLAYER_EXIT=3"});
    EXPECT_EQ(played.status, 3) << played.err;
    EXPECT_EQ(Lines(ReadWholeFile(m_folder / "player.log")),
              (std::vector<std::string>{"a player\\stand in.exe", url}));
}

} // namespace
