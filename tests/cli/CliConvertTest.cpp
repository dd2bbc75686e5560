// convert: the real program on a builder archive of short clips that decode,
// one whose bitstream is damaged and one whose headers are refused. What it
// writes is read back with ffprobe, and a frame decoded with ffmpeg is compared,
// block by block, with the picture its clip shows. zodovu-cli.exe has no convert.
#include "CliRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <thread>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t FRAMES = 6;
constexpr double FRAME_SECONDS = 1.0 / 15;

class CliConvert : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_lo1.audioTracks = 1;
        m_lo1.audio.stereo = true;
        BinkShape damaged = m_hi2;
        damaged.damage = BinkDamage::UnknownBlockType;
        damaged.damagedFrame = 3;
        m_lo2.audioTracks = 1;
        m_lo2.damage = BinkDamage::BadSound;   // its third frame's sound
        m_lo2.damagedFrame = 2;
        ArchiveBuilder()
            .AddClip(BuildBinkFile(m_hi1), BuildBinkFile(m_lo1))
            .AddClip(BuildBinkFile(damaged), BuildBinkFile(m_lo2))
            .AddClip(BuildBinkFile(m_hi3), BuildBinkFile(LoResShape(FRAMES, 3)))
            // Headers that the plain checks refuse: never decoded, their finding stands.
            .AddClip(BuildBinkFile(LoResShape(FRAMES, 4)), BuildBinkFile(LoResShape(FRAMES, 4)))
            .WriteTo(m_folder / "clips.pak");
    }
    CliResult Run(const std::vector<std::string>& args) { return RunCli(args, m_folder.Path()); }

    ScratchFolder m_folder;
    BinkShape m_hi1 = HiResShape(FRAMES, 1);
    BinkShape m_lo1 = LoResShape(FRAMES, 1);
    BinkShape m_hi2 = HiResShape(FRAMES, 2);
    BinkShape m_lo2 = LoResShape(FRAMES, 2);
    BinkShape m_hi3 = HiResShape(FRAMES, 3);
};

#ifdef ZODOVU_CLI_UNDER_WINE

TEST_F(CliConvert, IsNotInTheWindowsBuild)
{
    const CliResult result = Run({"convert", "clips.pak", "1"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "zodovu-cli: convert is not in this build of zodovu-cli, which does not decode clips\n");
    EXPECT_EQ(m_folder.Names(), std::vector<std::string>{"clips.pak"});
}

#else

TEST_F(CliConvert, SettingsThatCannotBeMetAreUsageErrors)
{
    const struct {
        std::vector<std::string> args;
        std::string error;   // the first line
    } cases[] = {
        {{"--crf", "52"}, "zodovu-cli: --crf: runs from 0 to 51 for mp4"},
        {{"--format", "webm", "--preset", "fast"}, "zodovu-cli: --preset: is x264's, for mp4 only"},
        {{"--format", "avi"}, "zodovu-cli: --format: no format 'avi' (the formats are mp4 and webm)"},
        {{"--both", "-o", "-"}, "zodovu-cli: -o -: standard output takes one clip in one encoding"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"convert", "clips.pak", "1"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult result = Run(args);
        EXPECT_EQ(result.status, 2) << ::testing::PrintToString(c.args);
        EXPECT_EQ(Lines(result.err).at(0), c.error);
    }
    EXPECT_EQ(m_folder.Names(), std::vector<std::string>{"clips.pak"});
}

#if defined(FFPROBE) && defined(FFMPEG)

// What ffprobe finds in a file: its streams and every packet's times.
nlohmann::json Probe(const std::string& file, const fs::path& folder)
{
    CliStart start;
    start.program = FFPROBE;
    const CliResult probe = RunProgram({"-v", "error", "-count_frames", "-show_entries",
                                        "stream=index,codec_type,codec_name,width,height,r_frame_rate,nb_read_frames:"
                                        "packet=stream_index,pts_time,duration_time",
                                        "-of", "json", file},
                                       folder, start);
    EXPECT_EQ(probe.status, 0) << probe.err;
    return nlohmann::json::parse(probe.out.empty() ? "{}" : probe.out);
}

// Frame frame of file, decoded by ffmpeg, against what shape shows there (or
// at shown): the mean of each 8x8 luma block and of each chroma block within
// the encoder's loss.
void ExpectShows(const std::string& file, const BinkShape& shape, uint32_t frame, const fs::path& folder,
                 int shown = -1)
{
    CliStart start;
    start.program = FFMPEG;
    const CliResult raw = RunProgram(
        {"-v", "error", "-i", file, "-map", "0:v", "-fps_mode", "passthrough", "-f", "rawvideo", "-pix_fmt", "yuv420p", "-"},
        folder, start);
    const size_t width = shape.width, height = shape.height, pictureBytes = width * height * 3 / 2;
    ASSERT_EQ(raw.out.size(), pictureBytes * shape.frames) << file << ": " << raw.err;
    const size_t planeOffsets[3] = {frame * pictureBytes, frame * pictureBytes + width * height,
                                    frame * pictureBytes + width * height * 5 / 4};
    const auto blockMean = [&](size_t plane, size_t bx, size_t by) {
        const size_t stride = plane == 0 ? width : width / 2;
        int sum = 0;
        for (size_t y = 0; y < 8; ++y)
            for (size_t x = 0; x < 8; ++x)
                sum += static_cast<unsigned char>(raw.out[planeOffsets[plane] + (by * 8 + y) * stride + bx * 8 + x]);
        return sum / 64.0;
    };
    const BinkBlocks picture = ClipPicture(shape, shown < 0 ? frame : static_cast<uint32_t>(shown));
    const std::vector<int16_t>* planes[3] = {&picture.y, &picture.u, &picture.v};
    for (size_t plane = 0; plane < 3; ++plane) {
        const size_t across = plane == 0 ? picture.LumaAcross() : picture.ChromaAcross();
        for (size_t i = 0; i < planes[plane]->size(); ++i)
            ASSERT_NEAR(blockMean(plane, i % across, i / across), (*planes[plane])[i], 3.0)
                << file << ": frame " << frame << ", plane " << plane << ", block " << i % across << "," << i / across;
    }
}

// Each format in either encoding: every frame at 15 a second, the clip's own
// picture size, its sound as long as its pictures, and its pictures' colours.
TEST_F(CliConvert, EachFormatKeepsEveryFrameItsSizeRateSoundAndColours)
{
    const struct {
        std::vector<std::string> options;
        std::string file;
        const BinkShape* shape;
        std::string video;
        std::string audio;   // empty: none
    } cases[] = {
        {{"--preset", "veryfast"}, "Clip001h.mp4", &m_hi1, "h264", ""},
        {{"--lo", "--crf", "18"}, "Clip001l.mp4", &m_lo1, "h264", "aac"},
        {{"--lo", "--format", "webm"}, "Clip001l.webm", &m_lo1, "vp9", "opus"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<std::string> args = {"convert", "clips.pak", "1"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliResult result = Run(args);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");

        const nlohmann::json probe = Probe(c.file, m_folder.Path());
        std::map<std::string, nlohmann::json> streams;
        for (const nlohmann::json& stream : probe.at("streams"))
            streams[stream.at("codec_type")] = stream;
        ASSERT_EQ(streams.size(), c.audio.empty() ? 1u : 2u);
        const nlohmann::json& video = streams.at("video");
        EXPECT_EQ(video.at("codec_name"), c.video);
        EXPECT_EQ(video.at("width"), c.shape->width);
        EXPECT_EQ(video.at("height"), c.shape->height);
        EXPECT_EQ(video.at("r_frame_rate"), "15/1");
        EXPECT_EQ(video.at("nb_read_frames"), std::to_string(FRAMES));
        if (!c.audio.empty()) {
            EXPECT_EQ(streams.at("audio").at("codec_name"), c.audio);
            double end = 0;
            for (const nlohmann::json& packet : probe.at("packets"))
                if (packet.at("stream_index") == streams.at("audio").at("index"))
                    end = std::max(end, std::stod(packet.at("pts_time").get<std::string>()) +
                                            std::stod(packet.at("duration_time").get<std::string>()));
            EXPECT_NEAR(end, FRAMES * FRAME_SECONDS, FRAME_SECONDS);
        }
        ExpectShows(c.file, *c.shape, FRAMES - 1, m_folder.Path());
    }
}

// A batch names each file as extract does; a clip that does not decode and one
// whose headers are refused are named with the reason, leave nothing, and the
// others are written, each showing its own clip.
TEST_F(CliConvert, ABatchWritesEachClipToItsFileAndNamesThoseThatFail)
{
    const CliResult result = Run({"convert", "clips.pak", "--all", "-j", "2", "-o", "out"});
    EXPECT_EQ(result.status, 1);
    const std::vector<std::string> lines = Lines(result.err);
    ASSERT_EQ(lines.size(), 3u) << result.err;
    EXPECT_EQ(lines[0], "zodovu-cli: out/clips-004h Clip 004.mp4: clip 4: the high-resolution video's header gives "
                        "320x224, not 640x448");
    EXPECT_EQ(lines[1].rfind("zodovu-cli: out/clips-002h Clip 002.mp4: clip 2 (high-res.): frame 4 of 6: ", 0), 0u)
        << lines[1];
    EXPECT_EQ(lines[2], "zodovu-cli: 2 of 4 files converted, 2 failed");
    std::vector<std::string> written;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder / "out"))
        written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"clips-001h Clip 001.mp4", "clips-003h Clip 003.mp4"}));
    ExpectShows("out/clips-001h Clip 001.mp4", m_hi1, 0, m_folder.Path());
    ExpectShows("out/clips-003h Clip 003.mp4", m_hi3, 0, m_folder.Path());
}

// --conceal writes a clip whose frames do not all decode, every frame in its
// place: a lost picture shows the one before it, lost sound is silence. Each
// file is named with what was concealed, and the run fails; a clip without
// frames still leaves nothing.
TEST_F(CliConvert, ConcealWritesADamagedClipWholeAndNamesWhatItConcealed)
{
    ArchiveBuilder()
        .AddClip(BuildBinkFile(HiResShape(0, 5)), BuildBinkFile(LoResShape(0, 5)))
        .WriteTo(m_folder / "none.pak");
    const CliResult result = Run({"convert", "clips.pak", "2", "--both", "--conceal", "-j", "1", "-o", "out"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "zodovu-cli: out/clips-002h Clip 002.mp4: clip 2 (high-res.): 1 frame concealed: "
                          "frame 4 of 6: Unknown block type 10\n"
                          "zodovu-cli: out/clips-002l Clip 002.mp4: clip 2 (low-res.): 1 frame concealed: "
                          "frame 3 of 6: its sound: Incomplete packet\n"
                          "zodovu-cli: 2 files converted (2 with frames concealed)\n");
    for (const std::string file : {"out/clips-002h Clip 002.mp4", "out/clips-002l Clip 002.mp4"}) {
        const nlohmann::json probe = Probe(file, m_folder.Path());
        const nlohmann::json& video = probe.at("streams").at(0);
        EXPECT_EQ(video.at("nb_read_frames"), std::to_string(FRAMES)) << file;
        if (probe.at("streams").size() == 2) {
            double end = 0;
            for (const nlohmann::json& packet : probe.at("packets"))
                if (packet.at("stream_index") == 1)
                    end = std::max(end, std::stod(packet.at("pts_time").get<std::string>()) +
                                            std::stod(packet.at("duration_time").get<std::string>()));
            EXPECT_NEAR(end, FRAMES * FRAME_SECONDS, FRAME_SECONDS) << file;
        }
    }
    ExpectShows("out/clips-002h Clip 002.mp4", m_hi2, 3, m_folder.Path(), 2);   // the third frame again
    ExpectShows("out/clips-002l Clip 002.mp4", m_lo2, FRAMES - 1, m_folder.Path());

    const CliResult none = Run({"convert", "none.pak", "1", "--conceal", "--format", "webm"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "zodovu-cli: Clip001h.webm: clip 1 (high-res.): holds no frames\n");
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"clips.pak", "none.pak", "out"}));
}

// -n keeps the files a batch finished before, counted as skipped; the clips
// that failed are tried again.
TEST_F(CliConvert, NoClobberKeepsWhatIsThereAndConvertsTheRest)
{
    ASSERT_EQ(Run({"convert", "clips.pak", "1", "-o", "out/"}).status, 0);
    const std::string first = ReadWholeFile(m_folder / "out/clips-001h Clip 001.mp4");
    const CliResult result = Run({"convert", "clips.pak", "--all", "-o", "out", "-n"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(Lines(result.err).back(), "zodovu-cli: 1 of 4 files converted, 2 failed, 1 skipped");
    EXPECT_EQ(ReadWholeFile(m_folder / "out/clips-001h Clip 001.mp4"), first);
    const CliResult again = Run({"convert", "clips.pak", "1", "3", "-o", "out", "-n", "-v"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "zodovu-cli: 0 files converted, 2 skipped\n");
    EXPECT_EQ(again.out, "");
}

// -o - streams one clip as it is made: a fragmented MP4 that a player reads
// from a pipe.
TEST_F(CliConvert, StandardOutputTakesAFragmentedMp4)
{
    const std::string stream = m_folder / "stream.mp4";
    const CliResult result = RunCli({"convert", "clips.pak", "1", "--lo", "-o", "-"}, m_folder.Path(), stream.c_str());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string bytes = ReadWholeFile(stream);
    EXPECT_EQ(bytes.substr(4, 4), "ftyp");
    EXPECT_NE(bytes.find("moof"), std::string::npos);
    // Read as a player reads a pipe: from the start, without seeking.
    CliStart shell;
    shell.program = "/bin/sh";
    const CliResult probe = RunProgram({"-c", "'" FFPROBE "' -v error -count_frames -show_entries "
                                              "stream=codec_name,nb_read_frames -of csv=p=0 pipe:0 < stream.mp4"},
                                       m_folder.Path(), shell);
    const std::vector<std::string> streams = Lines(probe.out);
    ASSERT_EQ(streams.size(), 2u) << probe.out << probe.err;
    EXPECT_EQ(streams[0], "h264," + std::to_string(FRAMES));
    EXPECT_EQ(streams[1].rfind("aac,", 0), 0u) << streams[1];
}

#endif

// SIGINT while a clip is being converted leaves nothing: not its temporary file.
TEST_F(CliConvert, InterruptedConversionLeavesNothing)
{
    ArchiveBuilder().AddClip(BuildBinkFile(HiResShape(1500, 5)), BuildBinkFile(LoResShape(2, 5))).WriteTo(m_folder / "long.pak");
    CliStart start;
    const pid_t child = StartCli({"convert", "long.pak", "1", "-q"}, m_folder.Path(), start);
    const auto converting = [this] {
        for (const std::string& name : m_folder.Names())
            if (name[0] == '.')
                return true;
        return false;
    };
    for (int i = 0; i < 1000 && !converting(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool caught = converting();
    ::kill(child, caught ? SIGINT : SIGKILL);
    const CliResult result = FinishCli(child, m_folder.Path(), start);
    ASSERT_TRUE(caught) << "no temporary file while it converts: " << result.err;
    EXPECT_EQ(result.signal, SIGINT) << result.err;
    EXPECT_EQ(m_folder.Names(), (std::vector<std::string>{"clips.pak", "long.pak"}));
}

// The plain program reads the command line itself and hands over only what
// decodes: alone, without its decoding program, it answers help and usage
// errors and verifies without --frames, and says which decoding program it
// looked for where the install puts it.
TEST_F(CliConvert, ThePlainProgramHandsOverOnlyWhatDecodes)
{
    fs::create_directory(m_folder / "bin");
    fs::copy_file(ZODOVU_CLI, m_folder / "bin/zodovu-cli");
    CliStart alone;
    alone.program = m_folder / "bin/zodovu-cli";
    const auto run = [&](const std::vector<std::string>& args) { return RunProgram(args, m_folder.Path(), alone); };
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;   // its first line
    } cases[] = {
        {{"convert", "--help"}, 0, ""},
        {{"convert", "clips.pak", "1", "--crf", "55"}, 2, "zodovu-cli: --crf: runs from 0 to 51 for mp4"},
        {{"verify", "clips.pak"}, 1, ""},
        {{"verify", "--frames=false", "clips.pak"}, 1, ""},
        {{"index", "clips.pak", "-o", "site"}, 1,
         "zodovu-cli: " + (m_folder / "bin/../libexec/zodovu-cli/zodovu-cli-decode") +
             ": No such file or directory (convert, encode, verify --frames, replace, pack and index need it)"},
    };
    for (const auto& c : cases) {
        const CliResult result = run(c.args);
        EXPECT_EQ(result.status, c.status) << ::testing::PrintToString(c.args) << result.err;
        EXPECT_EQ(result.err.empty() ? "" : Lines(result.err).at(0), c.err);
    }
}

// Where /proc is not mounted, zodovu-cli cannot tell its own folder: it says
// so, and never runs a program of the decoding program's name from the
// current folder instead. /proc is hidden in a namespace of the test's own;
// without unshare or user namespaces the test is skipped.
TEST_F(CliConvert, TheDecodingProgramIsNeverTakenFromTheCurrentFolder)
{
    {
        std::ofstream impostor(m_folder / "zodovu-cli-decode");
        impostor << "#!/bin/sh\necho impostor\n";
    }
    fs::permissions(m_folder / "zodovu-cli-decode", fs::perms::owner_all);
    constexpr int NO_NAMESPACE = 77;
    CliStart shell;
    shell.program = "/bin/sh";
    const CliResult result = RunProgram(
        {"-c", "unshare -rm true 2>/dev/null || exit 77; "
               "exec unshare -rm sh -c 'mount -t tmpfs none /proc 2>/dev/null || exit 77; "
               "exec \"$0\" convert clips.pak --all' '" ZODOVU_CLI "'"},
        m_folder.Path(), shell);
    if (result.status == NO_NAMESPACE)
        GTEST_SKIP() << "no user namespace to hide /proc in";
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "zodovu-cli: zodovu-cli-decode: not found, as the folder of zodovu-cli cannot be told "
                          "(convert, encode, verify --frames, replace, pack and index need it)\n");
}

#endif

} // namespace
