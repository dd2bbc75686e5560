#include "samples/BinkWriter.h"

#include "bink/BinkFile.h"
#include "bink/BitWriter.h"

#include <algorithm>
#include <stdexcept>

namespace testsupport {

namespace {

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
uint32_t PutTypes(bink::BitWriter& out, const std::vector<uint8_t>& types, uint32_t across, uint32_t row, unsigned bits)
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

void PutColour(bink::BitWriter& out, uint8_t colour)
{
    out.Put(colour >> 4, 4);
    out.Put(colour & 15, 4);
}

// A group of colours from row on: the colours of the next row that has any, or,
// where that row has a single colour, of every row after it in that colour too.
// Returns the count; 0 ends the bundle.
uint32_t PutColours(bink::BitWriter& out, const std::vector<std::vector<uint8_t>>& rows, uint32_t row, unsigned bits)
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

void PutPlane(bink::BitWriter& out, const std::vector<int16_t>& blocks, uint32_t across, uint32_t planeWidth)
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

bink::AudioTrack TrackOf(const BinkAudioTrack& track)
{
    return {track.sampleRate, track.stereo,
            track.codec == BinkAudioCodec::Dct ? bink::AudioCodec::Dct : bink::AudioCodec::Rdft};
}

bink::AudioLayout LayoutOf(const BinkAudioTrack& track)
{
    return bink::LayoutOf(TrackOf(track));
}

// A block of silence: for each channel two zero coefficients, a zero quantizer
// for each band and the other coefficients as runs of 512 zero-width ones.
std::vector<uint8_t> SilentBlock(const BinkAudioTrack& track)
{
    const bink::AudioLayout layout = LayoutOf(track);
    bink::BitWriter out;
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
    bink::BitWriter out;
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
    std::vector<bink::AudioTrack> tracks;
    for (const BinkAudioTrack& track : m_tracks)
        tracks.push_back(TrackOf(track));
    bink::BinkFileLayout layout({m_width, m_height, m_rate, 1}, tracks);
    std::vector<uint8_t> frames;
    for (size_t i = 0; i < m_frames.size(); ++i) {
        std::vector<bink::AudioPacket> audio;
        for (size_t t = 0; t < m_tracks.size(); ++t) {
            bink::AudioPacket packet;
            const uint32_t blocks = FrameBlocks(i, t);
            for (uint32_t b = 0; b < blocks; ++b)
                packet.blocks.insert(packet.blocks.end(), m_silentBlocks[t].begin(), m_silentBlocks[t].end());
            packet.samples = blocks * LayoutOf(m_tracks[t]).samples;
            audio.push_back(std::move(packet));
        }
        const std::vector<uint8_t> frame = layout.Frame(m_frames[i].video, audio, m_frames[i].key);
        frames.insert(frames.end(), frame.begin(), frame.end());
    }
    std::vector<uint8_t> bytes = layout.Head();
    bytes.insert(bytes.end(), frames.begin(), frames.end());
    return bytes;
}

} // namespace testsupport
