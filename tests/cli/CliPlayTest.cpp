#include "CliRunner.h"

#include "catalogue/ClipTexts.h"
#include "DemoDiscs.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <unistd.h>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

void WriteScript(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
    fs::permissions(path, fs::perms::owner_all);
}

// The archive lies in a folder whose name holds what a URL or an option string
// might take apart: a comma, a blank and a colon.
class CliClipUrl : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(m_folder / "odd, dir:1");
        m_archive = BuildDemoArchive(DISC2);
        m_archive.WriteTo(m_folder / ARCHIVE);
    }
    std::string Url(const std::string& number, bool low)
    {
        std::vector<std::string> args{"url", ARCHIVE, number};
        if (low)
            args.push_back("--lo");
        const CliResult result = RunCli(args, m_folder.Path());
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return result.out.substr(0, result.out.find('\n'));
    }

    static constexpr const char* ARCHIVE = "odd, dir:1/disc2.pak";
    ScratchFolder m_folder;
    ArchiveBuilder m_archive;
};

#ifdef FFPROBE
TEST_F(CliClipUrl, FfprobeFindsTheSamePacketsOnTheUrlAsInTheClip)
{
    SKIP_UNDER_WINE();
    const std::string archivePath = fs::canonical(m_folder / ARCHIVE).string();
    struct Case {
        std::string number;   // leading zeros still mean decimal
        bool low;
    };
    const std::string last = std::to_string(m_archive.Clips().size());
    for (const Case& c : {Case{"1", false}, Case{"03", true}, Case{"012", false}, Case{last, true}}) {
        SCOPED_TRACE("clip " + c.number + (c.low ? " lo" : " hi"));
        const BuiltClip& clip = m_archive.Clips()[std::stoul(c.number) - 1];
        const uint32_t offset = c.low ? clip.loOffset : clip.hiOffset;
        const uint32_t size = c.low ? clip.loSize : clip.hiSize;
        const auto begin = m_archive.Bytes().begin() + offset;
        WriteBytesToFile(std::vector<uint8_t>(begin, begin + size), m_folder / "clip.bik");

        const std::string url = Url(c.number, c.low);
        EXPECT_EQ(url, "subfile,,start," + std::to_string(offset) + ",end," + std::to_string(offset + size) +
                           ",,:" + archivePath);
        const CliResult fromClip = ProbePackets("clip.bik", m_folder.Path());
        ASSERT_EQ(fromClip.status, 0) << fromClip.err;
        EXPECT_NE(fromClip.out.find(std::string("stream,binkvideo,") + (c.low ? "320,224," : "640,448,") +
                                    std::to_string(clip.frames) + "\n"),
                  std::string::npos);
        const CliResult fromUrl = ProbePackets(url, m_folder.Path());
        EXPECT_EQ(fromUrl.status, 0) << fromUrl.err;
        EXPECT_EQ(fromUrl.out, fromClip.out);
    }
}
#endif

// The stand-in player records what it got; it is found in PATH as ffplay, or
// named with --player.
TEST_F(CliClipUrl, PlayGivesThePlayerTheUrlAndPassesOnHowItEnded)
{
    SKIP_UNDER_WINE();
    fs::create_directory(m_folder / "bin");
    fs::create_directory(m_folder / "empty");
    fs::create_symlink(STAND_IN_PLAYER, m_folder / "bin/ffplay");
    // A script without "#!" runs as a shell would run it; one whose interpreter
    // is missing is no missing player.
    WriteScript(m_folder / "bin/plain.sh", std::string("exec '") + STAND_IN_PLAYER + "' \"$@\"\n");
    WriteScript(m_folder / "bin/lost.sh", "#!/no/such/interpreter -x\nexit 0\n");
    const std::string log = m_folder / "player.log";
    const std::string hi = Url("2", false);
    const std::string lo = Url("2", true);
    const std::string title = FormatClipLabel(DISC2, 1);

    struct Case {
        std::vector<std::string> options;
        const char* path;            // PATH while zodovu-cli runs
        bool interruptIgnored;       // SIGINT ignored when zodovu-cli starts
        const char* playerExit;      // STAND_IN_PLAYER_EXIT
        int status;
        std::vector<std::string> logged;   // empty: the player never ran
        std::string err;
    };
    const std::vector<Case> cases = {
        {{}, "bin", false, "0", 0,
         {"ffplay", "-hide_banner", "-autoexit", "-window_title", title, hi, "SIGINT default"}, ""},
        {{"--lo", "--player", STAND_IN_PLAYER}, "empty", true, "3", 3, {STAND_IN_PLAYER, lo, "SIGINT ignored"}, ""},
        {{"--player", "ffplay"}, "bin", false, "signal 15", 128 + SIGTERM, {"ffplay", hi, "SIGINT default"}, ""},
        {{}, "empty", false, "0", 1, {},
         "zodovu-cli: ffplay: not found; install FFmpeg (on Debian: apt-get install ffmpeg), or name another "
         "player with --player\n"},
        {{"--player", "bin/plain.sh"}, "empty", false, "0", 0, {STAND_IN_PLAYER, hi, "SIGINT default"}, ""},
        {{"--player", "bin/lost.sh"}, "empty", false, "0", 1, {},
         "zodovu-cli: bin/lost.sh: its interpreter /no/such/interpreter is not found\n"},
        {{"--player", "no-such-player"}, "bin", false, "0", 1, {},
         "zodovu-cli: no-such-player: not found; install it, or give --player the name or path of an installed "
         "player\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options) + " PATH=" + c.path);
        fs::remove(log);
        std::vector<std::string> args{"play", ARCHIVE, "2"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto previous = std::signal(SIGINT, c.interruptIgnored ? SIG_IGN : SIG_DFL);
        const CliResult result = RunCli(args, m_folder.Path(), nullptr,
                                        {"PATH=" + m_folder / c.path, "STAND_IN_PLAYER_LOG=" + log,
                                         std::string("STAND_IN_PLAYER_EXIT=") + c.playerExit});
        std::signal(SIGINT, previous);

        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(Lines(ReadWholeFile(log)), c.logged);
    }
}

// SIGTERM or SIGHUP ends the player with the tool, which waits for it: no
// player is left running without its parent.
TEST_F(CliClipUrl, TerminationIsPassedOnToThePlayer)
{
    SKIP_UNDER_WINE();
    const std::string log = m_folder / "player.log";
    for (const int signalNumber : {SIGTERM, SIGHUP}) {
        fs::remove(log);
        CliStart start;
        start.environment = {"STAND_IN_PLAYER_LOG=" + log, "STAND_IN_PLAYER_EXIT=wait"};
        const pid_t cli = StartCli({"play", ARCHIVE, "1", "--player", STAND_IN_PLAYER}, m_folder.Path(), start);
        long player = 0;
        for (int tries = 0; tries < 500 && player == 0; ++tries) {
            for (const std::string& line : Lines(ReadWholeFile(log)))
                if (line.rfind("waiting ", 0) == 0)
                    player = std::stol(line.substr(8));
            if (player == 0)
                ::usleep(10000);
        }
        ASSERT_NE(player, 0) << "the player did not start";
        ::kill(cli, signalNumber);
        const CliResult result = FinishCli(cli, m_folder.Path(), start);
        EXPECT_EQ(result.status, 128 + signalNumber);
        EXPECT_EQ(::kill(static_cast<pid_t>(player), 0), -1) << "the player runs on";
    }
}

// The scan accepts an archive cut inside its last low-resolution file; a player
// would get a clip that stops short.
TEST(CliClipUrlCutArchive, ClipCutShortIsRefusedAndNoPlayerStarts)
{
    ScratchFolder folder;
    const ArchiveBuilder archive = CutDisc4(1);
    archive.WriteTo(folder / "disc4.pak");
    const std::string log = folder / "player.log";

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"url", "disc4.pak", "7", "--lo"},
          {"play", "disc4.pak", "7", "--lo", "--player", STAND_IN_PLAYER}}) {
        const CliResult cut = RunCli(args, folder.Path(), nullptr, {"STAND_IN_PLAYER_LOG=" + log});
        EXPECT_EQ(cut.status, 1);
        EXPECT_EQ(cut.out, "");
        EXPECT_EQ(cut.err, "zodovu-cli: disc4.pak: clip 7 runs past the end of the archive (the copy is cut short)\n");
    }
    EXPECT_FALSE(fs::exists(log));
    EXPECT_EQ(RunCli({"url", "disc4.pak", "7"}, folder.Path()).status, 0);   // its high-resolution file is whole
}

} // namespace
