// Writes a few small clips that decode, for the decoding fuzz target to start
// from: both picture sizes, with and without sound, from the test clips' block
// writer and from our encoder (every block type it uses, and coded sound).
#include "bink/ClipEncoder.h"
#include "samples/BinkBuilder.h"
#include "samples/SoundClips.h"

#include <cstdio>
#include <string>

using namespace testsupport;

namespace {

// frames frames of a moving ramp with a textured square, and a tone.
std::vector<uint8_t> EncodedClip(uint32_t width, uint32_t height, uint32_t frames)
{
    struct Frames : bink::FrameSink {
        std::vector<uint8_t> bytes;
        void Write(const std::vector<uint8_t>& frame) override { bytes.insert(bytes.end(), frame.begin(), frame.end()); }
    } sink;
    bink::ClipSettings settings;
    settings.video.width = width, settings.video.height = height, settings.video.quality = 60;
    settings.tracks = {bink::AudioTrack{22050, true}};
    bink::ClipEncoder encoder(settings, sink);
    const std::vector<int16_t> tone = MakeSound(SoundKind::Chord, 22050, 2, frames / 15.0 + 1);
    encoder.PushSound(0, tone.data(), tone.size() / 2);
    std::vector<uint8_t> y(size_t(width) * height), chroma(size_t(width / 2) * (height / 2), 128);
    for (uint32_t n = 0; n < frames; ++n) {
        for (uint32_t r = 0; r < height; ++r)
            for (uint32_t c = 0; c < width; ++c) {
                const bool square = c - 40 - 3 * n < 96 && r - 30 - 2 * n < 96;
                y[size_t(r) * width + c] =
                    static_cast<uint8_t>(square ? ((c / 3 + r / 5) % 2 ? 220 : 40) : 30 + (c + 4 * n) % 180);
            }
        encoder.PushPicture({{y.data(), chroma.data(), chroma.data()}, {width, width / 2, width / 2}});
    }
    std::vector<uint8_t> file = encoder.Finish();
    file.insert(file.end(), sink.bytes.begin(), sink.bytes.end());
    return file;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_clip_seeds FOLDER\n");
        return 2;
    }
    BinkShape shapes[] = {HiResShape(3, 7), LoResShape(4, 12), HiResShape(2, 3)};
    shapes[2].audioTracks = 1;
    shapes[2].audio.stereo = true;
    std::vector<std::vector<uint8_t>> clips;
    for (const BinkShape& shape : shapes)
        clips.push_back(BuildBinkFile(shape));
    clips.push_back(EncodedClip(320, 224, 5));
    clips.push_back(EncodedClip(640, 448, 3));
    int written = 0;
    for (const std::vector<uint8_t>& bytes : clips) {
        const std::string path = std::string(argv[1]) + "/clip" + std::to_string(++written) + ".bik";
        if (!Write(path, bytes)) {
            std::fprintf(stderr, "make_clip_seeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
