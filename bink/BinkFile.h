#pragma once
// The Bink 1 file, version "i": a 44-byte header, one 12-byte description per
// audio track, a frame index, then the frames. Each frame holds, for each
// track, the length of its audio packet and the packet, then the video.
#include <cstdint>
#include <vector>

namespace bink {

enum class AudioCodec { Rdft, Dct };

struct AudioTrack {
    uint16_t sampleRate = 22050;
    bool stereo = false;
    AudioCodec codec = AudioCodec::Rdft;
    unsigned Channels() const { return stereo ? 2 : 1; }
};

// How the decoder frames a track's sound: the transform's length, how many
// channels one transform holds (the RDFT kind interleaves both), the number of
// frequency bands and the samples per channel that one block gives.
struct AudioLayout {
    uint32_t transformLength;
    unsigned channelsInBlock;
    unsigned bands;
    uint32_t samples;
};
AudioLayout LayoutOf(const AudioTrack& track);
// Where each band starts among a transform's coefficients, and after the last
// band's end the transform's length: bands + 1 entries, the first 2 (the two
// coefficients before it are sent whole).
std::vector<uint32_t> BandStarts(const AudioTrack& track);

// One track's sound in one frame: coded blocks, each a whole number of 32-bit
// words, and the samples per channel they decode to.
struct AudioPacket {
    std::vector<uint8_t> blocks;
    uint32_t samples = 0;
};

struct VideoFormat {
    uint32_t width = 640;
    uint32_t height = 448;
    uint32_t rateNumerator = 15;
    uint32_t rateDenominator = 1;
};

// Lays out a file frame by frame. The frames' bytes go wherever the caller
// keeps them (memory, or a spool for long clips); Head() gives what comes
// before them once the last frame is in.
class BinkFileLayout {
public:
    BinkFileLayout(VideoFormat video, std::vector<AudioTrack> tracks);

    // The bytes of one frame as the file holds them. audio has one packet per
    // track (an empty one for a track silent in this frame); video is a whole
    // number of 32-bit words. Throws std::length_error past 4 GiB.
    std::vector<uint8_t> Frame(const std::vector<uint8_t>& video, const std::vector<AudioPacket>& audio, bool key);

    uint32_t Frames() const { return static_cast<uint32_t>(m_sizes.size()); }
    uint64_t HeadSize() const;
    uint64_t FileSize() const;
    // Header, track descriptions and frame index (bit 0 of an entry marks a key frame).
    std::vector<uint8_t> Head() const;

private:
    VideoFormat m_video;
    std::vector<AudioTrack> m_tracks;
    std::vector<uint32_t> m_sizes;
    std::vector<bool> m_keys;
    std::vector<uint32_t> m_largestAudio;   // decoded bytes of a track's largest packet
    uint64_t m_framesSize = 0;
};

void AppendU32(std::vector<uint8_t>& bytes, uint32_t value);

} // namespace bink
