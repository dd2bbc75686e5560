#include "samples/SoundClips.h"

#include "bink/AudioEncoder.h"
#include "samples/BinkWriter.h"

#include <algorithm>
#include <cmath>

namespace testsupport {

namespace {

const double PI = std::acos(-1.0);

int16_t Clipped(double value)
{
    return static_cast<int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
}

double Sample(SoundKind kind, double t, double seconds, uint32_t rate, unsigned channel, uint32_t& noise)
{
    switch (kind) {
    case SoundKind::Tone:
        return 12000 * std::sin(2 * PI * (channel ? 660.0 : 440.0) * t);
    case SoundKind::Sweep: {
        // The phase of an exponential sweep from low to high (or high to low).
        const double low = 50, high = 0.45 * rate, k = std::log(high / low) / seconds;
        const double phase = channel ? 2 * PI * high / -k * (std::exp(-k * t) - 1) : 2 * PI * low / k * (std::exp(k * t) - 1);
        return 10000 * std::sin(phase);
    }
    case SoundKind::Noise:
        noise = noise * 1664525u + 1013904223u;
        return (static_cast<int32_t>(noise) >> 16) / 4.0;
    case SoundKind::Chord: {
        const double delay = channel ? 0.25 : 0.0, local = t - delay;
        double value = 0;
        int note = 0;
        for (double pitch : {261.63, 329.63, 392.0, 523.25}) {
            // Pitch wavers by 0.6% five and a half times a second; loudness swells every two seconds.
            const double wobble = 2 * PI * 5.5;
            const double time = local + 0.006 * std::sin(wobble * local + note) / wobble;
            const double swell = 0.6 + 0.4 * std::sin(2 * PI * 0.5 * local + 1.7 * note);
            // Each note with a few harmonics, as an instrument has.
            for (int harmonic = 1; harmonic <= 4; ++harmonic)
                value += swell * 3000 / harmonic * std::sin(2 * PI * pitch * harmonic * time);
            ++note;
        }
        return value;
    }
    }
    return 0;
}

} // namespace

std::vector<int16_t> MakeSound(SoundKind kind, uint32_t sampleRate, unsigned channels, double seconds)
{
    const size_t count = static_cast<size_t>(seconds * sampleRate);
    std::vector<int16_t> pcm;
    pcm.reserve(count * channels);
    std::vector<uint32_t> noise(channels);
    for (unsigned c = 0; c < channels; ++c)
        noise[c] = 12345u + 1000u * c;
    for (size_t i = 0; i < count; ++i) {
        for (unsigned c = 0; c < channels; ++c)
            pcm.push_back(Clipped(Sample(kind, double(i) / sampleRate, seconds, sampleRate, c, noise[c])));
    }
    return pcm;
}

SoundClip EncodeSoundClip(const bink::AudioTrack& track, const std::vector<int16_t>& pcm, int quality,
                          uint32_t framesPerSecond)
{
    const bink::VideoFormat video{32, 32, framesPerSecond, 1};
    const std::vector<uint8_t> picture = EncodeBinkVideo(BinkBlocks(video.width, video.height, 128, 128, 128));
    bink::AudioEncoder encoder(track, quality);
    bink::BinkFileLayout layout(video, {track});
    const uint64_t length = pcm.size() / track.Channels();
    const uint64_t frames = std::max<uint64_t>(1, (length * framesPerSecond + track.sampleRate - 1) / track.sampleRate);
    SoundClip clip;
    std::vector<uint8_t> body;
    uint64_t decoded = 0;
    for (uint64_t frame = 1; frame <= frames; ++frame) {
        const uint64_t due = bink::SamplesDueBy(frame, track.sampleRate, video);
        const uint64_t wanted = frame == frames ? length : std::min(length, encoder.SamplesWanted(due));
        if (wanted > encoder.SamplesPushed())
            encoder.Push(pcm.data() + encoder.SamplesPushed() * track.Channels(), wanted - encoder.SamplesPushed());
        if (frame == frames)
            encoder.Finish();
        const bink::AudioPacket packet = encoder.TakePacket(frame == frames ? UINT64_MAX : due);
        clip.audioBytes += packet.blocks.size();
        decoded += packet.samples;
        clip.samplesByFrame.push_back(decoded);
        const std::vector<uint8_t> bytes = layout.Frame(picture, {packet}, frame == 1);
        body.insert(body.end(), bytes.begin(), bytes.end());
    }
    clip.file = layout.Head();
    clip.file.insert(clip.file.end(), body.begin(), body.end());
    return clip;
}

double SoundSnr(const std::vector<int16_t>& source, const std::vector<int16_t>& decoded, unsigned channels,
                unsigned channel)
{
    double signal = 0, noise = 0;
    for (size_t i = channel; i < source.size() && i < decoded.size(); i += channels) {
        signal += double(source[i]) * source[i];
        noise += (double(source[i]) - decoded[i]) * (double(source[i]) - decoded[i]);
    }
    return 10 * std::log10(std::max(signal, 1.0) / std::max(noise, 1.0));
}

} // namespace testsupport
