#pragma once
// Our Bink 1 video encoder, version "i". Each frame is coded in 8x8 blocks by
// rate and distortion: skipped, filled with one colour, moved from the frame
// before, or coded by the decoder's own DCT, alone or as the residue after a
// move. The encoder keeps the picture exactly as the decoder rebuilds it, so
// that frames built on frames never drift from what a player shows.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace bink {

// A picture in planes Y, U, V at 8 bits (FFmpeg's yuv420p): chroma at half
// the size, rounded up.
struct PictureView {
    const uint8_t* planes[3];
    ptrdiff_t strides[3];
};

struct VideoSettings {
    uint32_t width = 640;
    uint32_t height = 448;
    uint32_t rateNumerator = 15;     // frames a second, as a fraction
    uint32_t rateDenominator = 1;
    // The whole file's bytes a second, sound included; 0 with a quality.
    double kilobytesPerSecond = 300;
    // A constant quality from 1 (smallest) to 100 (best) instead of a rate; 0: by the rate.
    unsigned quality = 0;
    // At least one key frame this often (besides the first and each scene cut).
    double keyIntervalSeconds = 10;
};

struct VideoFrame {
    std::vector<uint8_t> bytes;   // a whole number of 32-bit words
    bool key = false;
};

class VideoEncoder {
public:
    // Throws std::invalid_argument for a size of 0 or past 4096, or a rate of 0.
    explicit VideoEncoder(const VideoSettings& settings);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Codes the next picture. otherBytes: what else this frame holds in the
    // file (its sound), which the rate counts too.
    VideoFrame Encode(const PictureView& picture, size_t otherBytes = 0);

    // The picture the decoder shows after the last frame, as Encode's picture.
    PictureView Reconstruction() const;
    const VideoSettings& Settings() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace bink
