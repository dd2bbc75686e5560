#pragma once
// Encodes one Bink audio track from 16-bit PCM. Each block decodes to
// LayoutOf(track).samples samples a channel; the decoder cross-fades a block's
// first transformLength / 16 outputs with the tail of the block before, so
// every block transforms a window that overlaps the next one by as much, and
// both sides of a cross-fade carry the same sound.
#include "bink/AudioBlockCoder.h"
#include "bink/AudioTransform.h"
#include "bink/BinkFile.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace bink {

// From 0 (noise as loud as the masking level in each band) to 100 (noise
// 40 dB under it).
constexpr int DEFAULT_AUDIO_QUALITY = 75;

class AudioEncoder {
public:
    // Throws std::invalid_argument for a rate outside 8000 to 48000 Hz or a
    // quality outside 0 to 100.
    AudioEncoder(const AudioTrack& track, int quality = DEFAULT_AUDIO_QUALITY);

    // Interleaved samples, any number at a time; blocks are coded as soon as
    // their windows are whole. Throws std::logic_error after Finish().
    void Push(const int16_t* samples, size_t samplesPerChannel);
    // Codes what is left, the last block padded with silence.
    void Finish();

    // The coded blocks not yet taken that bring the samples taken to at least
    // samplesDue a channel, as far as blocks are ready (UINT64_MAX: all of
    // them). An empty packet when none is due.
    AudioPacket TakePacket(uint64_t samplesDue);

    // The samples a channel to push before TakePacket(samplesDue) can give every
    // block due: each block's window reaches past its output into the next.
    uint64_t SamplesWanted(uint64_t samplesDue) const;
    uint64_t SamplesPushed() const { return m_pushed; }
    // Samples a channel that the blocks coded so far, taken or not, decode to.
    uint64_t SamplesCoded() const { return m_blocksMade * m_layout.samples; }
    uint64_t SamplesTaken() const { return m_blocksTaken * m_layout.samples; }

private:
    void CodeBlock();
    uint64_t BlocksFor(uint64_t samples) const;   // blocks that decode to at least samples

    AudioTrack m_track;
    AudioLayout m_layout;
    uint32_t m_window;                     // samples a channel that one block transforms
    AudioTransform m_transform;
    AudioBlockCoder m_coder;
    std::vector<float> m_input;            // interleaved, from the next block's window on (or a little before)
    uint64_t m_inputStart = 0;             // the sample, a channel, that m_input starts at
    uint64_t m_pushed = 0;
    uint64_t m_blocksMade = 0;
    uint64_t m_blocksTaken = 0;
    std::deque<std::vector<uint8_t>> m_ready;
    bool m_finished = false;
    std::vector<float> m_samples, m_coefficients;
};

// The samples a channel that must have decoded by the end of frame number
// frames (counted from 1) to keep pace with the pictures.
uint64_t SamplesDueBy(uint64_t frames, uint32_t sampleRate, const VideoFormat& video);

} // namespace bink
