#include "samples/BinkWriter.h"

#include <algorithm>
#include <stdexcept>

namespace testsupport {

namespace {

// Bits go in least significant first, as the decoder reads them.
class BitWriter {
public:
    void Put(uint32_t value, unsigned count)
    {
        for (unsigned i = 0; i < count; ++i, ++m_count) {
            if (m_count % 8 == 0)
                m_bytes.push_back(0);
            if (i < 32 && ((value >> i) & 1))   // a count past 32 pads with zero bits
                m_bytes.back() |= static_cast<uint8_t>(1u << (m_count % 8));
        }
    }
    void Align32()
    {
        while (m_count % 32)
            Put(0, 1);
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
    uint64_t m_count = 0;
};

// The bits of a group's count, as the decoder sizes them from the most values
// a row of blocks can take, plus 511.
unsigned CountBits(uint32_t mostInARow)
{
    unsigned log2 = 0;
    for (uint32_t v = mostInARow + 511; v > 1; v >>= 1)
        ++log2;
    return log2 + 1;
}

constexpr uint8_t SKIP_TYPE = 0;
constexpr uint8_t FILL_TYPE = 6;
constexpr uint8_t UNKNOWN_TYPE = 10;

// The decoder reads nine bundles of values for each row of blocks, in this
// order; a bundle reads a new group only when its earlier values are used up,
// and an empty group ends it for the rest of the plane. Only block types and
// colours are used here.
enum Bundle { TYPES, SUB_TYPES, COLOURS, PATTERNS, X_OFFSETS, Y_OFFSETS, INTRA_DC, INTER_DC, RUNS, BUNDLES };

// A group of block types from row on: rows of one type as one repeated value,
// any other row as its values, a run of 4, 8, 12 or 32 of the last value as one
// of the symbols 12 to 15. Returns the count.
uint32_t PutTypes(BitWriter& out, const std::vector<uint8_t>& types, uint32_t across, uint32_t row, unsigned bits)
{
    const uint32_t most = (1u << bits) - 1;
    const auto rowOf = [&](uint32_t r) { return types.begin() + static_cast<ptrdiff_t>(r) * across; };
    const uint8_t first = *rowOf(row);
    uint32_t count = 0;
    for (uint32_t r = row; r < types.size() / across && count + across <= most; ++r, count += across) {
        if (!std::all_of(rowOf(r), rowOf(r + 1), [&](uint8_t t) { return t == first; }))
            break;
    }
    if (count > 0) {
        out.Put(count, bits);
        out.Put(1, 1);
        out.Put(first, 4);
        return count;
    }
    out.Put(across, bits);
    out.Put(0, 1);
    static const uint32_t runs[] = {32, 12, 8, 4};
    for (auto at = rowOf(row); at != rowOf(row + 1);) {
        const uint8_t type = *at;
        const auto end = std::find_if(at, rowOf(row + 1), [&](uint8_t t) { return t != type; });
        uint32_t left = static_cast<uint32_t>(end - at) - 1;
        out.Put(type, 4);
        for (unsigned k = 0; k < 4; ++k) {
            for (; left >= runs[k]; left -= runs[k])
                out.Put(15 - k, 4);
        }
        for (; left > 0; --left)
            out.Put(type, 4);
        at = end;
    }
    return across;
}

void PutColour(BitWriter& out, uint8_t colour)
{
    out.Put(colour >> 4, 4);
    out.Put(colour & 15, 4);
}

// A group of colours from row on: the colours of the next row that has any, or,
// where that row has a single colour, of every row after it in that colour too.
// Returns the count; 0 ends the bundle.
uint32_t PutColours(BitWriter& out, const std::vector<std::vector<uint8_t>>& rows, uint32_t row, unsigned bits)
{
    const uint32_t most = (1u << bits) - 1;
    while (row < rows.size() && rows[row].empty())
        ++row;
    if (row == rows.size()) {
        out.Put(0, bits);
        return 0;
    }
    const std::vector<uint8_t>& first = rows[row];
    const auto single = [&](const std::vector<uint8_t>& colours) {
        return std::all_of(colours.begin(), colours.end(), [&](uint8_t c) { return c == first[0]; });
    };
    if (!single(first)) {
        out.Put(static_cast<uint32_t>(first.size()), bits);
        out.Put(0, 1);
        for (uint8_t colour : first)
            PutColour(out, colour);
        return static_cast<uint32_t>(first.size());
    }
    uint32_t count = 0;
    for (; row < rows.size() && single(rows[row]) && count + rows[row].size() <= most; ++row)
        count += static_cast<uint32_t>(rows[row].size());
    out.Put(count, bits);
    out.Put(1, 1);
    PutColour(out, first[0]);
    return count;
}

void PutPlane(BitWriter& out, const std::vector<int16_t>& blocks, uint32_t across, uint32_t planeWidth)
{
    const uint32_t down = static_cast<uint32_t>(blocks.size()) / across;
    std::vector<uint8_t> types(blocks.size());
    std::vector<std::vector<uint8_t>> colours(down);
    for (size_t i = 0; i < blocks.size(); ++i) {
        const int16_t block = blocks[i];
        if (block >= 0 && block <= 255) {
            types[i] = FILL_TYPE;
            colours[i / across].push_back(static_cast<uint8_t>(block));
        } else if (block == SKIP_BLOCK) {
            types[i] = SKIP_TYPE;
        } else if (block == BAD_BLOCK) {
            types[i] = UNKNOWN_TYPE;
        } else {
            throw std::invalid_argument("a block is a colour, SKIP_BLOCK or BAD_BLOCK");
        }
    }

    const uint32_t width = (std::max(planeWidth, 8u) + 7) & ~7u;
    unsigned bits[BUNDLES];
    std::fill(bits, bits + BUNDLES, CountBits(width / 8));
    bits[SUB_TYPES] = CountBits(width / 16);
    bits[COLOURS] = CountBits(across * 64);
    bits[PATTERNS] = CountBits(across * 8);
    bits[RUNS] = CountBits(across * 48);

    // 23 Huffman trees (7 bundles' and 16 for the high nibble of colours), each
    // 0: a symbol is its plain 4 bits.
    out.Put(0, 23 * 4);
    uint32_t left[BUNDLES] = {};
    bool ended[BUNDLES] = {};
    for (uint32_t row = 0; row < down; ++row) {
        for (int bundle = 0; bundle < BUNDLES; ++bundle) {
            if (ended[bundle] || left[bundle] > 0)
                continue;
            left[bundle] = bundle == TYPES     ? PutTypes(out, types, across, row, bits[bundle])
                           : bundle == COLOURS ? PutColours(out, colours, row, bits[bundle])
                                               : (out.Put(0, bits[bundle]), 0);
            ended[bundle] = left[bundle] == 0;
        }
        left[TYPES] -= across;
        left[COLOURS] -= static_cast<uint32_t>(colours[row].size());
    }
    out.Align32();
}

// The upper ends of the critical bands, in Hz, which decide an audio block's bands.
const uint16_t CRITICAL_FREQUENCIES[25] = {100,  200,  300,  400,  510,  630,  770,  920,   1080,
                                           1270, 1480, 1720, 2000, 2320, 2700, 3150, 3700,  4400,
                                           5300, 6400, 7700, 9500, 12000, 15500, 24500};

struct AudioLayout {
    uint32_t transformLength;
    unsigned channelsInBlock;   // RDFT interleaves both channels into one transform
    unsigned bands;
    uint32_t samples;           // per channel
};

AudioLayout LayoutOf(const BinkAudioTrack& track)
{
    const unsigned channels = track.stereo ? 2 : 1;
    unsigned lengthBits = track.sampleRate < 22050 ? 9 : track.sampleRate < 44100 ? 10 : 11;
    uint32_t rate = track.sampleRate;
    AudioLayout layout{};
    layout.channelsInBlock = channels;
    if (track.codec == BinkAudioCodec::Rdft) {
        rate *= channels;
        layout.channelsInBlock = 1;
        lengthBits += channels - 1;
    }
    layout.transformLength = 1u << lengthBits;
    layout.samples = (layout.transformLength - layout.transformLength / 16) * layout.channelsInBlock / channels;
    const uint32_t half = (rate + 1) / 2;
    layout.bands = 1;
    while (layout.bands < 25 && half > CRITICAL_FREQUENCIES[layout.bands - 1])
        ++layout.bands;
    return layout;
}

// A block of silence: for each channel two zero coefficients, a zero quantizer
// for each band and the other coefficients as runs of 512 zero-width ones.
std::vector<uint8_t> SilentBlock(const BinkAudioTrack& track)
{
    const AudioLayout layout = LayoutOf(track);
    BitWriter out;
    if (track.codec == BinkAudioCodec::Dct)
        out.Put(0, 2);
    for (unsigned channel = 0; channel < layout.channelsInBlock; ++channel) {
        out.Put(0, 29);
        out.Put(0, 29);
        for (unsigned band = 0; band < layout.bands; ++band)
            out.Put(0, 8);
        for (uint32_t i = 2; i < layout.transformLength; i += 512) {
            out.Put(1, 1);    // a run ...
            out.Put(15, 4);   // ... of 64 x 8 coefficients
            out.Put(0, 4);    // of width 0
        }
    }
    out.Align32();
    return out.Take();
}

void Append32(std::vector<uint8_t>& bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace

BinkBlocks::BinkBlocks(uint32_t width_, uint32_t height_, int16_t y_, int16_t u_, int16_t v_)
    : width(width_), height(height_)
{
    y.assign(static_cast<size_t>(LumaAcross()) * LumaDown(), y_);
    u.assign(static_cast<size_t>(ChromaAcross()) * ChromaDown(), u_);
    v.assign(u.size(), v_);
}

std::vector<uint8_t> EncodeBinkVideo(const BinkBlocks& frame)
{
    if (frame.width == 0 || frame.height == 0 || frame.y.size() != size_t(frame.LumaAcross()) * frame.LumaDown() ||
        frame.u.size() != size_t(frame.ChromaAcross()) * frame.ChromaDown() || frame.v.size() != frame.u.size())
        throw std::invalid_argument("the blocks do not cover the picture");
    BitWriter out;
    out.Put(0, 32);
    PutPlane(out, frame.y, frame.LumaAcross(), frame.width);
    PutPlane(out, frame.v, frame.ChromaAcross(), frame.width / 2);
    PutPlane(out, frame.u, frame.ChromaAcross(), frame.width / 2);
    return out.Take();
}

std::vector<uint8_t> DecodedPicture(const BinkBlocks& frame, const std::vector<uint8_t>& before)
{
    const uint32_t w = frame.width, h = frame.height, cw = (w + 1) / 2, ch = (h + 1) / 2;
    std::vector<uint8_t> picture = before;
    picture.resize(size_t(w) * h + 2 * size_t(cw) * ch);
    const auto paint = [&](const std::vector<int16_t>& blocks, uint32_t across, size_t start, uint32_t pw,
                           uint32_t ph) {
        for (uint32_t py = 0; py < ph; ++py) {
            for (uint32_t px = 0; px < pw; ++px) {
                const int16_t block = blocks[(py / 8) * across + px / 8];
                if (block >= 0)
                    picture[start + size_t(py) * pw + px] = static_cast<uint8_t>(block);
            }
        }
    };
    paint(frame.y, frame.LumaAcross(), 0, w, h);
    paint(frame.u, frame.ChromaAcross(), size_t(w) * h, cw, ch);
    paint(frame.v, frame.ChromaAcross(), size_t(w) * h + size_t(cw) * ch, cw, ch);
    return picture;
}

uint32_t BinkAudioBlockSamples(const BinkAudioTrack& track)
{
    return LayoutOf(track).samples;
}

BinkWriter::BinkWriter(uint32_t width, uint32_t height, uint32_t framesPerSecond, std::vector<BinkAudioTrack> tracks)
    : m_width(width), m_height(height), m_rate(framesPerSecond), m_tracks(std::move(tracks)),
      m_blocksGiven(m_tracks.size(), 0)
{
    for (const BinkAudioTrack& track : m_tracks)
        m_silentBlocks.push_back(SilentBlock(track));
}

void BinkWriter::AddFrame(const BinkBlocks& frame, bool key)
{
    if (frame.width != m_width || frame.height != m_height)
        throw std::invalid_argument("a frame of another size");
    if (key) {
        for (const auto* plane : {&frame.y, &frame.u, &frame.v}) {
            if (std::find(plane->begin(), plane->end(), SKIP_BLOCK) != plane->end())
                throw std::invalid_argument("a key frame keeps nothing from the frame before");
        }
    }
    AddVideo(EncodeBinkVideo(frame), key);
}

void BinkWriter::AddVideo(std::vector<uint8_t> video, bool key)
{
    if (video.empty() || video.size() % 4 != 0)
        throw std::invalid_argument("video bytes come in 32-bit words");
    Frame frame{std::move(video), {}, key};
    // Each track gets the blocks of silence that bring it to the end of this frame.
    const uint64_t frames = m_frames.size() + 1;
    for (size_t t = 0; t < m_tracks.size(); ++t) {
        const uint32_t lasts = m_tracks[t].frames;
        const uint64_t blocks = m_tracks[t].blocksPerFrame
                                    ? m_blocksGiven[t] + m_tracks[t].blocksPerFrame
                                    : BlocksFor(t, lasts ? std::min<uint64_t>(frames, lasts) : frames);
        frame.audioBlocks.push_back(static_cast<uint32_t>(blocks - m_blocksGiven[t]));
        m_blocksGiven[t] = blocks;
    }
    m_frames.push_back(std::move(frame));
}

uint64_t BinkWriter::BlocksFor(size_t track, uint64_t frames) const
{
    const uint64_t samples = LayoutOf(m_tracks[track]).samples;
    const uint64_t due = (frames * m_tracks[track].sampleRate + m_rate - 1) / m_rate;
    return (due + samples - 1) / samples;
}

uint32_t BinkWriter::FrameBlocks(size_t frame, size_t track) const
{
    uint32_t blocks = m_frames[frame].audioBlocks[track];
    if (frame + 1 == m_frames.size() && !m_tracks[track].blocksPerFrame && m_tracks[track].frames > m_frames.size())
        blocks += static_cast<uint32_t>(BlocksFor(track, m_tracks[track].frames) - m_blocksGiven[track]);
    return blocks;
}

uint64_t BinkWriter::AudioSamples(size_t track) const
{
    uint64_t blocks = m_blocksGiven.at(track);
    if (!m_frames.empty())
        blocks += FrameBlocks(m_frames.size() - 1, track) - m_frames.back().audioBlocks[track];
    return blocks * LayoutOf(m_tracks.at(track)).samples;
}

std::vector<uint8_t> BinkWriter::Finish() const
{
    const uint32_t tracks = static_cast<uint32_t>(m_tracks.size());
    const uint32_t frames = Frames();
    std::vector<uint32_t> largestAudio(tracks, 0);   // decoded bytes of a frame's packet
    std::vector<uint32_t> sizes;
    uint64_t length = 44 + 12ull * tracks + 4ull * (frames + 1);
    for (size_t i = 0; i < m_frames.size(); ++i) {
        uint64_t size = m_frames[i].video.size();
        for (uint32_t t = 0; t < tracks; ++t) {
            const uint32_t blocks = FrameBlocks(i, t);
            size += 4 + (blocks ? 4 + uint64_t(blocks) * m_silentBlocks[t].size() : 0);
            const uint32_t decoded = blocks * LayoutOf(m_tracks[t]).samples * (m_tracks[t].stereo ? 4 : 2);
            largestAudio[t] = std::max(largestAudio[t], decoded);
        }
        if (size > UINT32_MAX)
            throw std::length_error("Bink frame too large");
        sizes.push_back(static_cast<uint32_t>(size));
        length += size;
    }
    if (length > UINT32_MAX)
        throw std::length_error("Bink file too large");

    std::vector<uint8_t> bytes = {'B', 'I', 'K', 'i'};
    bytes.reserve(static_cast<size_t>(length));
    const uint32_t largest = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    for (uint32_t value : {static_cast<uint32_t>(length - 8), frames, largest, frames, m_width, m_height, m_rate,
                           1u, 0u /* video flags */, tracks})
        Append32(bytes, value);
    for (uint32_t t = 0; t < tracks; ++t)
        Append32(bytes, largestAudio[t]);
    for (const BinkAudioTrack& track : m_tracks) {
        const uint32_t flags = 0x4000u   // 16-bit
                               | (track.stereo ? 0x2000u : 0) | (track.codec == BinkAudioCodec::Dct ? 0x1000u : 0);
        Append32(bytes, track.sampleRate | flags << 16);
    }
    for (uint32_t t = 0; t < tracks; ++t)
        Append32(bytes, t);   // track id

    // Bit 0 of an entry marks a key frame; frames are whole 32-bit words, so it is free.
    uint32_t offset = static_cast<uint32_t>(bytes.size()) + 4 * (frames + 1);
    for (uint32_t i = 0; i < frames; ++i) {
        Append32(bytes, offset | (m_frames[i].key ? 1u : 0u));
        offset += sizes[i];
    }
    Append32(bytes, offset);

    for (size_t i = 0; i < m_frames.size(); ++i) {
        const Frame& frame = m_frames[i];
        for (uint32_t t = 0; t < tracks; ++t) {
            const uint32_t blocks = FrameBlocks(i, t);
            const std::vector<uint8_t>& block = m_silentBlocks[t];
            Append32(bytes, blocks ? 4 + blocks * static_cast<uint32_t>(block.size()) : 0);
            if (blocks == 0)
                continue;
            Append32(bytes, blocks * LayoutOf(m_tracks[t]).samples * (m_tracks[t].stereo ? 4 : 2));
            for (uint32_t b = 0; b < blocks; ++b)
                bytes.insert(bytes.end(), block.begin(), block.end());
        }
        bytes.insert(bytes.end(), frame.video.begin(), frame.video.end());
    }
    return bytes;
}

} // namespace testsupport
