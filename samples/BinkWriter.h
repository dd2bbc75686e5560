#pragma once
// Our own writer of Bink video, version "i", for clips that a decoder plays
// frame for frame. A frame is made of 8x8 blocks, each filled with one colour
// or kept from the frame before; each audio track carries silence.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

// A block of a frame: a colour from 0 to 255, or one of these.
constexpr int16_t SKIP_BLOCK = -1;   // kept from the frame before
constexpr int16_t BAD_BLOCK = -2;    // a block type no decoder knows, for a damaged frame

// One frame in blocks, each plane row by row. A luma block covers 8x8 pixels of
// the picture, a chroma block 16x16 (the 8x8 of a half-size plane).
struct BinkBlocks {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<int16_t> y, u, v;

    BinkBlocks() = default;
    // Every block of a width x height picture set to the same value in each plane.
    BinkBlocks(uint32_t width, uint32_t height, int16_t y, int16_t u, int16_t v);
    uint32_t LumaAcross() const { return (width + 7) / 8; }
    uint32_t LumaDown() const { return (height + 7) / 8; }
    uint32_t ChromaAcross() const { return (width + 15) / 16; }
    uint32_t ChromaDown() const { return (height + 15) / 16; }
};

// The video part of one frame: 32 bits, then the Y, V and U planes, each padded
// to 32 bits.
std::vector<uint8_t> EncodeBinkVideo(const BinkBlocks& frame);

// The picture a decoder shows after frame, given the one it showed before (an
// empty vector before the first frame): planar Y, U, V at 8 bits, chroma at half
// size rounded up, as FFmpeg's yuv420p.
std::vector<uint8_t> DecodedPicture(const BinkBlocks& frame, const std::vector<uint8_t>& before);

enum class BinkAudioCodec { Rdft, Dct };

struct BinkAudioTrack {
    uint16_t sampleRate = 22050;
    bool stereo = false;
    BinkAudioCodec codec = BinkAudioCodec::Rdft;
    // The sound lasts this many frames' time; 0: as long as the pictures. A
    // shorter sound stops early, a longer one has its rest in the last frame.
    uint32_t frames = 0;
    // Blocks of silence in every frame, whatever the rate asks for (frames is
    // then passed over); 0: as the rate asks. Many make a sound far longer
    // than the pictures.
    uint32_t blocksPerFrame = 0;
};

// Samples per channel in each block of silence the writer gives a track.
uint32_t BinkAudioBlockSamples(const BinkAudioTrack& track);

// Collects frames and lays out the file: the 44-byte header, the audio track
// descriptions, the frame index, then each frame: for each track the length of
// its audio packet and the packet, then the video.
class BinkWriter {
public:
    BinkWriter(uint32_t width, uint32_t height, uint32_t framesPerSecond,
               std::vector<BinkAudioTrack> tracks = {});

    // Throws std::invalid_argument for a key frame that keeps a block, or a frame
    // of another size.
    void AddFrame(const BinkBlocks& frame, bool key);
    // A frame of ready video bytes (a multiple of 4 in size): the same bytes as an
    // earlier frame's, or a frame cut short.
    void AddVideo(std::vector<uint8_t> video, bool key);

    uint32_t Frames() const { return static_cast<uint32_t>(m_frames.size()); }
    // Samples per channel of silence given to a track so far.
    uint64_t AudioSamples(size_t track = 0) const;
    // Throws std::length_error past 4 GiB.
    std::vector<uint8_t> Finish() const;

private:
    // The blocks of silence a track has by the end of frames frames' time.
    uint64_t BlocksFor(size_t track, uint64_t frames) const;
    // The blocks of silence that go with frame of a track.
    uint32_t FrameBlocks(size_t frame, size_t track) const;

    struct Frame {
        std::vector<uint8_t> video;
        std::vector<uint32_t> audioBlocks;   // per track
        bool key;
    };
    uint32_t m_width;
    uint32_t m_height;
    uint32_t m_rate;
    std::vector<BinkAudioTrack> m_tracks;
    std::vector<std::vector<uint8_t>> m_silentBlocks;   // per track
    std::vector<uint64_t> m_blocksGiven;                // per track
    std::vector<Frame> m_frames;
};

} // namespace testsupport
