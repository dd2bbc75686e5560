// Our Bink audio encoder on speech (espeak-ng) and on a chord with vibrato, at
// 22050 Hz mono and 44100 Hz stereo: the signal-to-noise ratio of FFmpeg's
// decoding against the source, the bit rate, and the encoding speed as a
// multiple of real time, at three qualities. Prints figures; asserts nothing.
#include "BenchSupport.h"
#include "TempFolder.h"
#include "bink/AudioEncoder.h"
#include "samples/SoundClips.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

using namespace testsupport;

namespace {

const char* const SPEECH =
    "The river rose in the night, and by morning the lower road was gone. We packed what the cart would hold, "
    "the lamps, the seed, the letters from the city, and went up the hill path before the bells had rung. "
    "Nobody spoke much. At the top my father turned, looked once at the roofs below the water, and said "
    "that we would build again, further up, where the stones are dry.";

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<int16_t> ReadSamples(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadBytes(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return samples;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        TempFolder folder(bench::ScratchBase(argc, argv), "bench-audio");
        bench::Run("espeak-ng -w '" + folder / "speech.wav" + "' \"" + SPEECH + "\"");
        std::printf("Bink audio (RDFT), FFmpeg's decoding against the source; speed: seconds of sound a second\n");
        std::printf("%-26s %7s %9s %9s %10s\n", "sound", "quality", "SNR dB", "kbit/s", "speed");
        for (const bink::AudioTrack track : {bink::AudioTrack{22050, false}, bink::AudioTrack{44100, true}}) {
            const unsigned channels = track.Channels();
            const std::string rate = std::to_string(track.sampleRate);
            bench::Run("ffmpeg -nostdin -v error -y -i '" + folder / "speech.wav" + "' -ar " + rate + " -ac " +
                       std::to_string(channels) + " -f s16le '" + folder / "speech.raw" + "'");
            const struct {
                const char* name;
                std::vector<int16_t> pcm;
            } sounds[] = {{"speech", ReadSamples(folder / "speech.raw")},
                          {"chord", MakeSound(SoundKind::Chord, track.sampleRate, channels, 20.0)}};
            for (const auto& sound : sounds) {
                const double seconds = double(sound.pcm.size()) / channels / track.sampleRate;
                for (int quality : {25, 50, 75}) {
                    SoundClip clip;
                    const double took = bench::BestSeconds(3, nullptr, [&] {
                        clip = EncodeSoundClip(track, sound.pcm, quality);
                    });
                    WriteBytes(folder / "clip.bik", clip.file);
                    bench::Run("ffmpeg -nostdin -v error -y -i '" + folder / "clip.bik" + "' -map 0:a -f s16le '" +
                               folder / "decoded.raw" + "'");
                    const std::vector<int16_t> decoded = ReadSamples(folder / "decoded.raw");
                    double snr = 0;
                    for (unsigned c = 0; c < channels; ++c)
                        snr += SoundSnr(sound.pcm, decoded, channels, c) / channels;
                    const std::string name = std::string(sound.name) + ", " + rate + " Hz " +
                                             (track.stereo ? "stereo" : "mono");
                    std::printf("%-26s %7d %9.1f %9.1f %9.0fx\n", name.c_str(), quality, snr,
                                clip.audioBytes * 8 / seconds / 1000, seconds / took);
                }
            }
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_audio: %s\n", e.what());
        return 1;
    }
}
