#include "samples/BinkWriter.h"

#include "bink/BinkFile.h"
#include "bink/PlaneWriter.h"
#include "bink/BitWriter.h"

#include <algorithm>
#include <stdexcept>

namespace testsupport {

namespace {

void PutPlane(bink::BitWriter& out, const std::vector<int16_t>& blocks, uint32_t across, uint32_t planeWidth)
{
    bink::PlaneWriter plane(planeWidth, across, static_cast<uint32_t>(blocks.size()) / across);
    for (int16_t block : blocks) {
        if (block >= 0 && block <= 255)
            plane.Fill(static_cast<uint8_t>(block));
        else if (block == SKIP_BLOCK)
            plane.Skip();
        else if (block == BAD_BLOCK)
            plane.Unknown(10);   // past the last type a decoder knows
        else
            throw std::invalid_argument("a block is a colour, SKIP_BLOCK or BAD_BLOCK");
    }
    plane.Write(out);
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
// for each band and the other coefficients as runs of 512 zero-width ones. Written
// here rather than by the audio encoder, because test files give any sample
// rate a header can hold, even ones no encoder takes.
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
