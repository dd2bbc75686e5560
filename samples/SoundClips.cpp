#include "samples/SoundClips.h"

#include "bink/ClipEncoder.h"
#include "samples/BinkBuilder.h"

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
    // Each frame as the clip encoder writes it: the track's packet (its size,
    // then the bytes it decodes to, then the blocks), then the video.
    struct Frames : bink::FrameSink {
        SoundClip clip;
        std::vector<uint8_t> body;
        unsigned channels = 1;
        uint64_t decoded = 0;
        void Write(const std::vector<uint8_t>& bytes) override
        {
            const uint32_t size = GetU32(bytes, 0);
            if (size >= 4) {
                clip.audioBytes += size - 4;
                decoded += GetU32(bytes, 4) / (2 * channels);
            }
            clip.samplesByFrame.push_back(decoded);
            body.insert(body.end(), bytes.begin(), bytes.end());
        }
    } frames;
    frames.channels = track.Channels();
    bink::ClipSettings settings;
    settings.video.width = settings.video.height = 32;
    settings.video.rateNumerator = framesPerSecond;
    settings.video.quality = 50;
    settings.tracks = {track};
    settings.audioQuality = quality;
    bink::ClipEncoder encoder(settings, frames);
    const std::vector<uint8_t> grey(32 * 32, 128);
    const bink::PictureView picture{{grey.data(), grey.data(), grey.data()}, {32, 16, 16}};
    const uint64_t length = pcm.size() / track.Channels();
    const uint64_t pictures = std::max<uint64_t>(1, (length * framesPerSecond + track.sampleRate - 1) / track.sampleRate);
    uint64_t pushed = 0;
    for (uint64_t n = 0; n < pictures; ++n) {
        const uint64_t wanted = std::min(length, encoder.SoundWanted(0));
        if (wanted > pushed) {
            encoder.PushSound(0, pcm.data() + pushed * track.Channels(), wanted - pushed);
            pushed = wanted;
        }
        if (pushed == length)
            encoder.EndSound(0);
        encoder.PushPicture(picture);
    }
    frames.clip.file = encoder.Finish();
    frames.clip.file.insert(frames.clip.file.end(), frames.body.begin(), frames.body.end());
    return frames.clip;
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
