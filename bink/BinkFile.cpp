#include "bink/BinkFile.h"

#include <algorithm>
#include <stdexcept>

namespace bink {

namespace {

// The upper ends of the critical bands, in Hz, which decide an audio block's bands.
const uint16_t CRITICAL_FREQUENCIES[25] = {100,  200,  300,  400,  510,  630,  770,  920,   1080,
                                           1270, 1480, 1720, 2000, 2320, 2700, 3150, 3700,  4400,
                                           5300, 6400, 7700, 9500, 12000, 15500, 24500};

constexpr uint32_t HEADER_SIZE = 44;

} // namespace

namespace {

// Half the rate the transform sees: the RDFT kind interleaves stereo into one
// stream of twice the rate.
uint32_t HalfTransformRate(const AudioTrack& track)
{
    const uint32_t rate = track.sampleRate * (track.codec == AudioCodec::Rdft ? track.Channels() : 1);
    return (rate + 1) / 2;
}

} // namespace

AudioLayout LayoutOf(const AudioTrack& track)
{
    const unsigned channels = track.Channels();
    unsigned lengthBits = track.sampleRate < 22050 ? 9 : track.sampleRate < 44100 ? 10 : 11;
    AudioLayout layout{};
    layout.channelsInBlock = channels;
    if (track.codec == AudioCodec::Rdft) {
        layout.channelsInBlock = 1;
        lengthBits += channels - 1;
    }
    layout.transformLength = 1u << lengthBits;
    layout.samples = (layout.transformLength - layout.transformLength / 16) * layout.channelsInBlock / channels;
    const uint32_t half = HalfTransformRate(track);
    layout.bands = 1;
    while (layout.bands < 25 && half > CRITICAL_FREQUENCIES[layout.bands - 1])
        ++layout.bands;
    return layout;
}

std::vector<uint32_t> BandStarts(const AudioTrack& track)
{
    const AudioLayout layout = LayoutOf(track);
    const uint64_t half = HalfTransformRate(track);
    std::vector<uint32_t> starts = {2};
    for (unsigned band = 1; band < layout.bands; ++band)
        starts.push_back(static_cast<uint32_t>(CRITICAL_FREQUENCIES[band - 1] * uint64_t{layout.transformLength} / half) & ~1u);
    starts.push_back(layout.transformLength);
    return starts;
}

void AppendU32(std::vector<uint8_t>& bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

BinkFileLayout::BinkFileLayout(VideoFormat video, std::vector<AudioTrack> tracks)
    : m_video(video), m_tracks(std::move(tracks)), m_largestAudio(m_tracks.size(), 0)
{
}

std::vector<uint8_t> BinkFileLayout::Frame(const std::vector<uint8_t>& video, const std::vector<AudioPacket>& audio,
                                           bool key)
{
    if (audio.size() != m_tracks.size())
        throw std::invalid_argument("one audio packet a track");
    if (video.empty() || video.size() % 4)
        throw std::invalid_argument("video bytes come in 32-bit words");
    uint64_t size = video.size();
    for (const AudioPacket& packet : audio)
        size += 4 + (packet.blocks.empty() ? 0 : 4 + packet.blocks.size());
    if (size > UINT32_MAX || HeadSize() + 4 + m_framesSize + size > UINT32_MAX)
        throw std::length_error("a Bink file holds no more than 4 GiB");

    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(size));
    for (size_t t = 0; t < audio.size(); ++t) {
        const AudioPacket& packet = audio[t];
        if (packet.blocks.empty()) {
            AppendU32(bytes, 0);
            continue;
        }
        const uint32_t decoded = packet.samples * 2 * m_tracks[t].Channels();
        m_largestAudio[t] = std::max(m_largestAudio[t], decoded);
        AppendU32(bytes, static_cast<uint32_t>(4 + packet.blocks.size()));
        AppendU32(bytes, decoded);
        bytes.insert(bytes.end(), packet.blocks.begin(), packet.blocks.end());
    }
    bytes.insert(bytes.end(), video.begin(), video.end());
    m_sizes.push_back(static_cast<uint32_t>(size));
    m_keys.push_back(key);
    m_framesSize += size;
    return bytes;
}

uint64_t BinkFileLayout::HeadSize() const
{
    return HEADER_SIZE + 12ull * m_tracks.size() + 4ull * (m_sizes.size() + 1);
}

uint64_t BinkFileLayout::FileSize() const
{
    return HeadSize() + m_framesSize;
}

std::vector<uint8_t> BinkFileLayout::Head() const
{
    const uint32_t frames = Frames();
    const uint32_t tracks = static_cast<uint32_t>(m_tracks.size());
    const uint32_t largest = m_sizes.empty() ? 0 : *std::max_element(m_sizes.begin(), m_sizes.end());
    std::vector<uint8_t> bytes = {'B', 'I', 'K', 'i'};
    bytes.reserve(static_cast<size_t>(HeadSize()));
    for (uint32_t value : {static_cast<uint32_t>(FileSize() - 8), frames, largest, frames, m_video.width,
                           m_video.height, m_video.rateNumerator, m_video.rateDenominator, 0u /* video flags */, tracks})
        AppendU32(bytes, value);
    for (uint32_t largestDecoded : m_largestAudio)
        AppendU32(bytes, largestDecoded);
    for (const AudioTrack& track : m_tracks) {
        const uint32_t flags = 0x4000u   // 16-bit
                               | (track.stereo ? 0x2000u : 0) | (track.codec == AudioCodec::Dct ? 0x1000u : 0);
        AppendU32(bytes, track.sampleRate | flags << 16);
    }
    for (uint32_t t = 0; t < tracks; ++t)
        AppendU32(bytes, t);   // track id

    uint32_t offset = static_cast<uint32_t>(HeadSize());
    for (uint32_t i = 0; i < frames; ++i) {
        AppendU32(bytes, offset | (m_keys[i] ? 1u : 0u));
        offset += m_sizes[i];
    }
    AppendU32(bytes, offset);
    return bytes;
}

} // namespace bink
