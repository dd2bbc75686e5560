// encode and replace --from through the real program, on videos that the
// ffmpeg program makes from its own test sources; what it writes is read back
// with ffprobe and ffmpeg. zodovu-cli.exe has neither command.
#include "CliRunner.h"

#include "samples/ArchiveBuilder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace testsupport;

namespace {

#ifdef ZODOVU_CLI_UNDER_WINE

TEST(CliEncode, IsNotInTheWindowsBuild)
{
    ScratchFolder folder;
    const CliResult result = RunCli({"encode", "none.mp4", "-o", "none.bik"}, folder.Path());
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "zodovu-cli: encode is not in this build of zodovu-cli, which does not decode clips\n");
}

#elif defined(FFPROBE) && defined(FFMPEG)

class CliEncode : public ::testing::Test {
protected:
    // A video made by ffmpeg from lavfi sources, each "-f lavfi -i SOURCE".
    void MakeVideo(const std::string& name, const std::vector<std::string>& sources,
                   const std::vector<std::string>& codecs)
    {
        std::vector<std::string> args = {"-v", "error"};
        for (const std::string& source : sources)
            args.insert(args.end(), {"-f", "lavfi", "-i", source});
        args.insert(args.end(), codecs.begin(), codecs.end());
        args.push_back(name);
        CliStart start;
        start.program = FFMPEG;
        const CliResult made = RunProgram(args, m_folder.Path(), start);
        ASSERT_EQ(made.status, 0) << made.err;
    }
    CliResult Run(const std::vector<std::string>& args) { return RunCli(args, m_folder.Path()); }

    // What ffprobe finds in file: each stream's codec, size, frames and sound.
    nlohmann::json Probe(const std::string& file)
    {
        CliStart start;
        start.program = FFPROBE;
        const CliResult probe = RunProgram({"-v", "error", "-count_frames", "-show_entries",
                                            "stream=codec_name,width,height,nb_read_frames,sample_rate,channels",
                                            "-of", "json", file},
                                           m_folder.Path(), start);
        EXPECT_EQ(probe.status, 0) << probe.err;
        return nlohmann::json::parse(probe.out.empty() ? "{}" : probe.out)["streams"];
    }

    ScratchFolder m_folder;
};

const std::string TESTSRC = "testsrc2=size=320x240:rate=25:duration=2";
const std::vector<std::string> MPEG4_PCM = {"-c:v", "mpeg4", "-c:a", "pcm_s16le", "-shortest"};

// Two seconds of 4:3 pictures and a tone: 30 frames at 15 a second, sound at
// the input's rate, near the rate asked for, black bars at the sides; six
// channels at 96 kHz become stereo at 48 kHz; and replace --from puts both
// sizes of a video into an archive that verify --frames passes.
TEST_F(CliEncode, VideosBecomeBinkFilesThatFfmpegDecodes)
{
    MakeVideo("clip.mkv", {TESTSRC, "sine=frequency=440:sample_rate=44100:duration=2"}, MPEG4_PCM);
    MakeVideo("surround.mkv", {TESTSRC, "sine=frequency=300:sample_rate=96000:duration=2"},
              {"-c:v", "mpeg4", "-c:a", "pcm_s16le", "-ac", "6", "-shortest"});

    const CliResult one = Run({"encode", "clip.mkv", "-o", "clip.bik"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.err.rfind("zodovu-cli: clip.bik written: 30 frames, 2.0 s, ", 0), 0u) << one.err;
    const nlohmann::json clip = Probe("clip.bik");
    ASSERT_EQ(clip.size(), 2u);
    EXPECT_EQ(clip[0]["codec_name"], "binkvideo");
    EXPECT_EQ(clip[0]["width"], 640);
    EXPECT_EQ(clip[0]["height"], 448);
    EXPECT_EQ(clip[0]["nb_read_frames"], "30");
    EXPECT_EQ(clip[1]["codec_name"], "binkaudio_rdft");
    EXPECT_EQ(clip[1]["sample_rate"], "44100");
    EXPECT_EQ(clip[1]["channels"], 1);
    const double size = static_cast<double>(ReadWholeFile(m_folder / "clip.bik").size());
    EXPECT_NEAR(size / (300 * 1024 * 2.0), 1.0, 0.15);

    // The first picture's Y: 4:3 in 640x448 is 597 wide, a bar of 21 columns
    // each side, black in limited range.
    CliStart start;
    start.program = FFMPEG;
    const CliResult raw = RunProgram({"-v", "error", "-i", "clip.bik", "-frames:v", "1", "-f", "rawvideo",
                                      "-pix_fmt", "yuv420p", "-"},
                                     m_folder.Path(), start);
    ASSERT_EQ(raw.out.size(), 640u * 448 * 3 / 2) << raw.err;
    for (size_t row : {0, 200, 447}) {
        EXPECT_NEAR(static_cast<uint8_t>(raw.out[row * 640 + 5]), 16, 3) << "row " << row;
        EXPECT_NEAR(static_cast<uint8_t>(raw.out[row * 640 + 634]), 16, 3) << "row " << row;
    }

    const CliResult both = Run({"encode", "clip.mkv", "surround.mkv", "--lo", "-o", "small/", "-j", "2", "-q"});
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_EQ(both.err, "");
    EXPECT_EQ(Probe("small/clip.bik")[0]["width"], 320);
    const nlohmann::json surround = Probe("small/surround.bik");
    EXPECT_EQ(surround[0]["height"], 224);
    EXPECT_EQ(surround[1]["sample_rate"], "48000");
    EXPECT_EQ(surround[1]["channels"], 2);

    ArchiveBuilder().AddClip(20, 1).AddClip(30, 2).AddClip(25, 0).WriteTo(m_folder / "movies.pak");
    const CliResult replaced = Run({"replace", "movies.pak", "2", "--from", "clip.mkv", "--quality", "40", "-o",
                                    "new.pak"});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    const CliResult verified = Run({"verify", "--frames", "new.pak"});
    EXPECT_EQ(verified.status, 0) << verified.out << verified.err;

    // Nothing the tool says goes onto the video it reads.
    const std::string video = ReadWholeFile(m_folder / "clip.mkv");
    CliStart shell;
    shell.program = "/bin/sh";
    for (const char* command :
         {"encode clip.mkv -v -o again.bik", "replace movies.pak 2 --from clip.mkv -v -o again.pak"}) {
        for (const char* redirect : {" >> ", " 2>> "}) {
            const std::string line = "'" ZODOVU_CLI "' " + std::string(command) + redirect + "clip.mkv";
            const CliResult result = RunProgram({"-c", line}, m_folder.Path(), shell);
            EXPECT_EQ(result.status, 1) << command << redirect << result.err;
            EXPECT_TRUE(ReadWholeFile(m_folder / "clip.mkv") == video) << command << redirect;
        }
    }
}

// Each input that cannot be encoded, or a command line that cannot be run:
// its message and status, and nothing left behind.
TEST_F(CliEncode, BadInputsAreRefusedWithNothingWritten)
{
    MakeVideo("clip.mkv", {"testsrc2=size=64x48:rate=25:duration=0.2"}, {"-c:v", "mpeg4"});
    MakeVideo("tone.wav", {"sine=duration=0.2"}, {});
    m_folder.Write("junk.mp4", std::vector<uint8_t>(5000, 0x5A));
    const std::string header = "YUV4MPEG2 W64 H48 F25:1 Ip A1:1 C420jpeg\n";   // a video of no frames
    m_folder.Write("empty.y4m", std::vector<uint8_t>(header.begin(), header.end()));
    ArchiveBuilder().AddClip(20, 1).AddClip(30, 2).WriteTo(m_folder / "movies.pak");
    const std::vector<std::string> before = m_folder.Names();

    const struct {
        std::vector<std::string> args;
        int status;
        std::string error;   // the first line, after "zodovu-cli: "
        const char* program = ZODOVU_CLI;
    } cases[] = {
        {{"encode", "tone.wav", "-o", "a.bik"}, 1, "tone.wav: has no video stream; there are no pictures to encode"},
        {{"encode", "junk.mp4", "-o", "a.bik"}, 1,
         "junk.mp4: cannot be read as a video: Invalid data found when processing input"},
        {{"encode", "empty.y4m", "-o", "a.bik"}, 1,
         "empty.y4m: its video stream decodes to no picture; there is nothing to encode"},
        {{"encode", "none.mp4", "-o", "a.bik"}, 1, "none.mp4: " + std::string(NO_SUCH_FILE)},
        {{"encode", "clip.mkv", "-o", "clip.mkv", "--force"}, 1, "clip.mkv: is an input itself; refusing to write to it"},
        {{"encode", "clip.mkv", "-o", "a.bik", "--size", "0x448"}, 2,
         "--size: not a picture size from 1x1 to 4096x4096: '0x448'"},
        {{"encode", "clip.mkv", "-o", "a.bik", "--size", "640x4097"}, 2,
         "--size: not a picture size from 1x1 to 4096x4096: '640x4097'"},
        {{"encode", "clip.mkv", "-o", "a.bik", "--rate", "200", "--quality", "50"}, 2,
         "--rate and --quality cannot be given together"},
        {{"encode", "clip.mkv", "clip.mkv", "-o", "-"}, 2, "-o -: standard output takes one video's Bink file"},
        {{"replace", "movies.pak", "2", "--from", "tone.wav", "-o", "new.pak"}, 1,
         "tone.wav: has no video stream; there are no pictures to encode"},
        {{"replace", "movies.pak", "2", "--from", "clip.mkv", "--lo", "a.bik", "-o", "new.pak"}, 2,
         "--lo and --from cannot be given together"},
        {{"replace", "movies.pak", "2", "--from", "clip.mkv", "-o", "clip.mkv", "--force"}, 1,
         "clip.mkv: is the video being encoded; refusing to write to it"},
        {{"encode", "clip.mkv", "-o", "a.bik"}, 2,
         "encode is not in this build of zodovu-cli, which does not decode clips", ZODOVU_CLI_WITHOUT_DECODING},
        {{"replace", "movies.pak", "2", "--from", "clip.mkv", "-o", "new.pak"}, 2,
         "replace --from is not in this build of zodovu-cli, which does not decode clips",
         ZODOVU_CLI_WITHOUT_DECODING},
    };
    for (const auto& c : cases) {
        CliStart start;
        start.program = c.program;
        const CliResult result = RunProgram(c.args, m_folder.Path(), start);
        EXPECT_EQ(result.status, c.status) << ::testing::PrintToString(c.args) << result.err;
        EXPECT_EQ(Lines(result.err).at(0), "zodovu-cli: " + c.error) << ::testing::PrintToString(c.args);
        EXPECT_EQ(m_folder.Names(), before) << ::testing::PrintToString(c.args);
    }
}

#endif

} // namespace
