#pragma once
// Sounds made in code and Bink files that carry them through our audio
// encoder, for the encoder's tests and benchmark: each file has plain grey
// pictures and one audio track.
#include "bink/BinkFile.h"

#include <cstdint>
#include <vector>

namespace testsupport {

enum class SoundKind {
    Tone,    // 440 Hz; a second channel a fifth higher
    Sweep,   // 50 Hz up to near the top of the band; a second channel downwards
    Noise,   // white, at a quarter of full scale; each channel its own
    Chord,   // a major chord with vibrato, notes swelling and fading; a second channel a beat behind
};

// Interleaved 16-bit samples.
std::vector<int16_t> MakeSound(SoundKind kind, uint32_t sampleRate, unsigned channels, double seconds);

struct SoundClip {
    std::vector<uint8_t> file;
    uint64_t audioBytes = 0;                // the coded blocks
    std::vector<uint64_t> samplesByFrame;   // samples a channel decoded by the end of each frame
};

// pcm as track at quality, at framesPerSecond; the sound is pushed only as far
// as each frame needs it, as a video encoder would.
SoundClip EncodeSoundClip(const bink::AudioTrack& track, const std::vector<int16_t>& pcm, int quality,
                          uint32_t framesPerSecond = 15);

// Signal to noise of one channel of decoded against source (both interleaved), in dB.
double SoundSnr(const std::vector<int16_t>& source, const std::vector<int16_t>& decoded, unsigned channels,
                unsigned channel);

} // namespace testsupport
