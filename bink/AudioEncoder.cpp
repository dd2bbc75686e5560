#include "bink/AudioEncoder.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace bink {

namespace {

constexpr double NOISE_UNDER_MASK_DB_PER_QUALITY = 0.4;

const AudioTrack& Checked(const AudioTrack& track)
{
    if (track.sampleRate < 8000 || track.sampleRate > 48000)
        throw std::invalid_argument("Bink audio is encoded at 8000 to 48000 Hz, not " +
                                    std::to_string(track.sampleRate));
    return track;
}

BandRule RuleFor(int quality)
{
    if (quality < 0 || quality > 100)
        throw std::invalid_argument("the audio quality goes from 0 to 100");
    return {quality * NOISE_UNDER_MASK_DB_PER_QUALITY};
}

} // namespace

AudioEncoder::AudioEncoder(const AudioTrack& track, int quality)
    : m_track(Checked(track)), m_layout(LayoutOf(track)),
      m_window(m_layout.transformLength * m_layout.channelsInBlock / track.Channels()),
      m_transform(m_layout.transformLength, track.codec), m_coder(BandStarts(track), RuleFor(quality)),
      m_samples(m_layout.transformLength), m_coefficients(m_layout.transformLength)
{
}

void AudioEncoder::Push(const int16_t* samples, size_t samplesPerChannel)
{
    if (m_finished)
        throw std::logic_error("audio pushed after the encoder finished");
    m_input.insert(m_input.end(), samples, samples + samplesPerChannel * m_track.Channels());
    m_pushed += samplesPerChannel;
    while (m_inputStart + m_input.size() / m_track.Channels() >= SamplesCoded() + m_window)
        CodeBlock();
    // What the coded blocks are done with goes once a push, not once a block.
    const size_t done = std::min(m_input.size(), static_cast<size_t>(SamplesCoded() - m_inputStart) * m_track.Channels());
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<ptrdiff_t>(done));
    m_inputStart += done / m_track.Channels();
}

void AudioEncoder::Finish()
{
    if (m_finished)
        return;
    while (SamplesCoded() < m_pushed)
        CodeBlock();
    m_finished = true;
    m_input.clear();
}

// Codes the block whose window starts at SamplesCoded(), silence past the input.
void AudioEncoder::CodeBlock()
{
    const unsigned channels = m_track.Channels();
    const size_t from = static_cast<size_t>(SamplesCoded() - m_inputStart) * channels;
    const auto window = [&](size_t at, size_t step, size_t count) {   // input samples from at, step apart
        for (size_t i = 0; i < count; ++i) {
            const size_t index = from + at + i * step;
            m_samples[i] = index < m_input.size() ? m_input[index] : 0.0f;
        }
    };
    BitWriter out;
    if (m_track.codec == AudioCodec::Dct) {
        out.Put(0, 2);
        for (unsigned channel = 0; channel < channels; ++channel) {
            window(channel, channels, m_window);
            m_transform.Forward(m_samples.data(), m_coefficients.data());
            m_coder.Put(out, m_coefficients.data());
        }
    } else {
        window(0, 1, m_layout.transformLength);   // stereo stays interleaved: one transform holds both
        m_transform.Forward(m_samples.data(), m_coefficients.data());
        m_coder.Put(out, m_coefficients.data());
    }
    out.Align32();
    m_ready.push_back(out.Take());
    ++m_blocksMade;   // the next window starts where this block's output ends
}

uint64_t AudioEncoder::BlocksFor(uint64_t samples) const
{
    return samples / m_layout.samples + (samples % m_layout.samples ? 1 : 0);
}

uint64_t AudioEncoder::SamplesWanted(uint64_t samplesDue) const
{
    const uint64_t blocks = BlocksFor(samplesDue);
    return blocks ? (blocks - 1) * m_layout.samples + m_window : 0;
}

AudioPacket AudioEncoder::TakePacket(uint64_t samplesDue)
{
    const uint64_t blocksDue = BlocksFor(samplesDue);
    AudioPacket packet;
    while (m_blocksTaken < blocksDue && !m_ready.empty()) {
        packet.blocks.insert(packet.blocks.end(), m_ready.front().begin(), m_ready.front().end());
        packet.samples += m_layout.samples;
        m_ready.pop_front();
        ++m_blocksTaken;
    }
    return packet;
}

uint64_t SamplesDueBy(uint64_t frames, uint32_t sampleRate, const VideoFormat& video)
{
    if (video.rateNumerator == 0)
        throw std::invalid_argument("a frame rate of 0");
    // ceil(frames * rate * denominator / numerator), without overflow for any frame count a file holds
    const uint64_t scaled = frames * sampleRate;
    const uint64_t whole = scaled / video.rateNumerator, rest = scaled % video.rateNumerator;
    const uint64_t part = rest * video.rateDenominator;
    return whole * video.rateDenominator + part / video.rateNumerator + (part % video.rateNumerator ? 1 : 0);
}

} // namespace bink
