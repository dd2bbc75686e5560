// Our Bink video encoder on natural pictures: three photographs from a Debian
// package, each panned and zoomed for 20 seconds at 640x448 and 15 frames a
// second, with speech from espeak-ng, at three rates. Beside each: FFmpeg's
// MPEG-1 video, a codec of the same era, given the same bytes for its
// pictures as ours took. Prints Y PSNR against the source, the rate landed
// and the encoder's frames a second on one core; asserts nothing.
#include "BenchSupport.h"
#include "TempFolder.h"
#include "bink/ClipEncoder.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint32_t WIDTH = 640, HEIGHT = 448, FPS = 15, SECONDS_EACH = 20;
constexpr size_t FRAME_BYTES = WIDTH * HEIGHT * 3 / 2;

const char* const PHOTOS[] = {"BytheWater", "Path", "FallenLeaf"};
const char* const WALLPAPERS = "/usr/share/wallpapers/";

const char* const SPEECH =
    "Forty years ago the ferry still ran twice a day. You could hear its horn from the upper village, and the "
    "children would run down to the jetty to count the crates. Then the bridge came, and the ferry stopped, and "
    "the jetty rotted slowly into the lake. What you see here is all that is left of it.";

// The photograph panned and zoomed into raw frames, the source that both
// encoders are given.
std::string MakeSource(const testsupport::TempFolder& scratch, const std::string& photo)
{
    const std::string raw = scratch / (photo + ".yuv");
    bench::Run("ffmpeg -nostdin -v error -y -loop 1 -t " + std::to_string(SECONDS_EACH) + " -i '" +
               std::string(WALLPAPERS) + photo +
               "/contents/images/2560x1600.jpg' -vf \"scale=1280:800,zoompan=z='1+0.001*on'"
               ":x='iw/2-iw/zoom/2+on*0.7':y='ih/2-ih/zoom/2':d=1:s=640x448:fps=15,format=yuv420p\" -frames:v " +
               std::to_string(SECONDS_EACH * FPS) + " -f rawvideo '" + raw + "'");
    return raw;
}

std::string RawInput(const std::string& raw)
{
    return "-f rawvideo -pix_fmt yuv420p -s 640x448 -r 15 -i '" + raw + "'";
}

struct Counted : bink::FrameSink {
    uint64_t bytes = 0, audioBytes = 0;
    void Write(const std::vector<uint8_t>& frame) override
    {
        bytes += frame.size();
        audioBytes += 4 + (frame[0] | frame[1] << 8 | frame[2] << 16 | uint32_t(frame[3]) << 24);
    }
};

struct Result {
    double kilobytesPerSecond, psnr, framesPerSecond;
    uint64_t videoBytes;
};

Result EncodeOurs(const std::vector<std::string>& sources, double rate, const std::vector<int16_t>& speech)
{
    bink::ClipSettings settings;
    settings.video.kilobytesPerSecond = rate;
    settings.tracks = {bink::AudioTrack{22050, false}};
    Counted frames;
    bink::ClipEncoder encoder(settings, frames);
    std::vector<uint8_t> frame(FRAME_BYTES);
    double squared = 0, encoding = 0;
    uint64_t pictures = 0, pushed = 0;
    for (const std::string& source : sources) {
        FILE* video = fopen(source.c_str(), "rb");
        if (!video)
            throw std::runtime_error("cannot read " + source);
        while (fread(frame.data(), 1, frame.size(), video) == frame.size()) {
            const uint64_t wanted = std::min<uint64_t>(speech.size(), encoder.SoundWanted(0));
            if (wanted > pushed) {
                encoder.PushSound(0, speech.data() + pushed, wanted - pushed);
                pushed = wanted;
            }
            const bink::PictureView view{{frame.data(), frame.data() + WIDTH * HEIGHT,
                                          frame.data() + WIDTH * HEIGHT * 5 / 4},
                                         {WIDTH, WIDTH / 2, WIDTH / 2}};
            const bench::Stopwatch watch;
            encoder.PushPicture(view);
            encoding += watch.Seconds();
            const bink::PictureView shown = encoder.Video().Reconstruction();
            for (uint32_t y = 0; y < HEIGHT; ++y)
                for (uint32_t x = 0; x < WIDTH; ++x) {
                    const double d = double(frame[y * WIDTH + x]) - shown.planes[0][y * shown.strides[0] + x];
                    squared += d * d;
                }
            ++pictures;
        }
        fclose(video);
    }
    const uint64_t head = encoder.Finish().size();
    const double seconds = double(pictures) / FPS;
    const double mse = squared / (double(pictures) * WIDTH * HEIGHT);
    return {(head + frames.bytes) / 1024.0 / seconds, 10 * std::log10(255.0 * 255.0 / mse), pictures / encoding,
            frames.bytes - frames.audioBytes};
}

// MPEG-1 of the same pictures in videoBytes, and its Y PSNR.
double Mpeg1Psnr(const testsupport::TempFolder& scratch, const std::vector<std::string>& sources, uint64_t videoBytes)
{
    const uint64_t bits = videoBytes * 8 / (SECONDS_EACH * std::size(PHOTOS));
    std::string list;
    double weighted = 0;
    for (const std::string& source : sources) {
        const std::string out = scratch / "mpeg1.mpg";
        bench::Run("ffmpeg -nostdin -v error -y " + RawInput(source) + " -c:v mpeg1video -strict -1 -b:v " +
                   std::to_string(bits) + " -g 150 -bf 2 '" + out + "'");
        const std::string report = scratch / "psnr.txt";
        bench::Run("ffmpeg -nostdin -v error -y -i '" + out + "' " + RawInput(source) +
                   " -lavfi \"[0:v][1:v]psnr=stats_file='" + report + "'\" -f null -");
        // The mean of the frames' squared error, for a PSNR over all three.
        FILE* stats = fopen(report.c_str(), "r");
        if (!stats)
            throw std::runtime_error("no PSNR report");
        char line[512];
        double sum = 0;
        int frames = 0;
        while (fgets(line, sizeof line, stats)) {
            const char* y = std::strstr(line, "mse_y:");
            if (y) {
                sum += std::atof(y + 6);
                ++frames;
            }
        }
        fclose(stats);
        weighted += sum / std::max(frames, 1);
    }
    return 10 * std::log10(255.0 * 255.0 / (weighted / std::size(PHOTOS)));
}

} // namespace

int main(int argc, char** argv)
{
    try {
        testsupport::TempFolder folder(bench::ScratchBase(argc, argv), "bench-video");
        bench::Run("espeak-ng -w '" + folder / "speech.wav" + "' \"" + SPEECH + "\"");
        bench::Run("ffmpeg -nostdin -v error -y -i '" + folder / "speech.wav" +
                   "' -ar 22050 -ac 1 -f s16le '" + folder / "speech.raw" + "'");
        FILE* raw = fopen((folder / "speech.raw").c_str(), "rb");
        std::vector<int16_t> speech(22050 * 60);
        speech.resize(fread(speech.data(), 2, speech.size(), raw));
        fclose(raw);

        std::printf("Bink video, 60 s of photographs panned and zoomed, 640x448, 15 fps, with speech; MPEG-1 given "
                    "the same bytes for its pictures\n");
        std::printf("%9s %10s %12s %12s %8s %14s\n", "KB/s goal", "KB/s got", "Bink Y PSNR", "MPEG-1 PSNR",
                    "diff", "Bink frames/s");
        std::vector<std::string> sources;
        for (const char* photo : PHOTOS)
            sources.push_back(MakeSource(folder, photo));
        for (double rate : {150.0, 300.0, 600.0}) {
            const Result ours = EncodeOurs(sources, rate, speech);
            const double theirs = Mpeg1Psnr(folder, sources, ours.videoBytes);
            std::printf("%9.0f %10.1f %12.2f %12.2f %+8.2f %14.1f\n", rate, ours.kilobytesPerSecond, ours.psnr, theirs,
                        ours.psnr - theirs, ours.framesPerSecond);
            std::fflush(stdout);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_video: %s\n", e.what());
        return 1;
    }
}
