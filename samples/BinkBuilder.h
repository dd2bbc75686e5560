#pragma once
// Well-formed Bink video files for tests and demo archives: the 44-byte header,
// the frame index and the frames. No picture is encoded; the frames are filler
// bytes, which is enough for any tool that demuxes without decoding.
#include <cstdint>
#include <vector>

namespace testsupport {

constexpr uint32_t BINK_HEADER_SIZE = 44;

struct BinkShape {
    uint32_t width = 640;
    uint32_t height = 448;
    uint32_t frames = 150;
    uint32_t deltaFrameBytes = 8;    // typical frame between key frames; made even, at least 2
    uint32_t keyFrameInterval = 30;  // every such frame, from frame 0, is a larger key frame
    uint32_t seed = 1;               // varies frame sizes and contents
    char version = 'i';
    uint32_t audioTracks = 0;        // 12 bytes of track description each, before the frame index
};

BinkShape HiResShape(uint32_t frames, uint32_t seed = 1);   // 640x448
BinkShape LoResShape(uint32_t frames, uint32_t seed = 1);   // 320x224

// Little-endian header: "BIK", version, length - 8, frames, largest frame,
// frames, width, height, 15, 1, flags 0, audio tracks; for each track 4 bytes,
// then for each its sample rate and flags, then for each its id; then frames + 1
// offsets from the start of the file (bit 0 marks a key frame, the last is the
// end of the last frame); then the frames, each of an even size.
std::vector<uint8_t> BuildBinkFile(const BinkShape& shape);

// The 44-byte header of BuildBinkFile(shape) with its length field saying the
// file is size bytes in all: the start of a file too large to build whole.
std::vector<uint8_t> BinkHeader(const BinkShape& shape, uint32_t size);

// The sizes of the frames BuildBinkFile lays out for shape.
std::vector<uint32_t> BinkFrameSizes(const BinkShape& shape);

void PutU32(std::vector<uint8_t>& bytes, uint32_t offset, uint32_t value);
uint32_t GetU32(const std::vector<uint8_t>& bytes, uint32_t offset);

} // namespace testsupport
