// What our audio encoder writes, FFmpeg decodes close to the source, in every
// kind of track the format has, and in step with the pictures.
#include "bink/AudioEncoder.h"
#include "samples/SoundClips.h"
#include "FfmpegDecode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace testsupport;

namespace {

// FFmpeg's decoding of a file's first audio track to interleaved 16-bit samples.
std::vector<int16_t> DecodeSound(const ScratchFolder& folder, const std::string& file, std::string& error)
{
    const Decoded decoded = Ffmpeg(folder, file, "-map 0:a -f s16le");
    error = decoded.status ? "ffmpeg ended " + std::to_string(decoded.status) + ": " + decoded.err : "";
    std::vector<int16_t> samples(decoded.out.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(decoded.out[2 * i] | decoded.out[2 * i + 1] << 8);
    return samples;
}

const char* Name(SoundKind kind)
{
    return kind == SoundKind::Tone ? "tone" : kind == SoundKind::Sweep ? "sweep" : "noise";
}

} // namespace

TEST(AudioEncoder, FfmpegDecodesTheSoundCloseToTheSourceInStepWithThePictures)
{
    using bink::AudioCodec;
    // At the default quality the noise stays about 29 dB under the sound.
    constexpr double LEAST_SNR_DB = 27;
    // Every transform length of each kind (it changes at 22050 and 44100 Hz), mono and stereo.
    const bink::AudioTrack tracks[] = {
        {8000, false, AudioCodec::Rdft},  {11025, true, AudioCodec::Rdft}, {22050, false, AudioCodec::Rdft},
        {32000, true, AudioCodec::Rdft},  {44100, true, AudioCodec::Rdft}, {48000, false, AudioCodec::Rdft},
        {16000, false, AudioCodec::Dct},  {22050, true, AudioCodec::Dct},  {44100, true, AudioCodec::Dct},
    };
    ScratchFolder folder;
    for (const bink::AudioTrack& track : tracks) {
        const std::string name = std::string(track.codec == AudioCodec::Rdft ? "RDFT " : "DCT ") +
                                 (track.stereo ? "stereo " : "mono ") + std::to_string(track.sampleRate) + " Hz";
        std::string line = name + ":";
        for (SoundKind kind : {SoundKind::Tone, SoundKind::Sweep, SoundKind::Noise}) {
            const std::vector<int16_t> source = MakeSound(kind, track.sampleRate, track.Channels(), 2.0);
            const SoundClip clip = EncodeSoundClip(track, source, bink::DEFAULT_AUDIO_QUALITY);
            for (size_t frame = 0; frame < clip.samplesByFrame.size(); ++frame) {
                ASSERT_GE(clip.samplesByFrame[frame], bink::SamplesDueBy(frame + 1, track.sampleRate, {32, 32, 15, 1}))
                    << name << ", frame " << frame;
            }
            folder.Write("clip.bik", clip.file);
            std::string error;
            const std::vector<int16_t> decoded = DecodeSound(folder, "clip.bik", error);
            ASSERT_EQ(error, "") << name;
            ASSERT_EQ(decoded.size(), clip.samplesByFrame.back() * track.Channels()) << name;
            line += std::string(" ") + Name(kind);
            for (unsigned channel = 0; channel < track.Channels(); ++channel) {
                const double snr = SoundSnr(source, decoded, track.Channels(), channel);
                EXPECT_GE(snr, LEAST_SNR_DB) << name << ", " << Name(kind) << ", channel " << channel;
                line += " " + std::to_string(snr).substr(0, 4);
            }
            line += " dB " + std::to_string(clip.audioBytes * 8 / 2000) + " kb/s;";
        }
        std::printf("%s\n", line.c_str());
    }
}
