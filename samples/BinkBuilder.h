#pragma once
// Bink video files for tests and demo archives, which FFmpeg decodes frame for
// frame: each shows its clip number in large block digits over a bar that moves
// one block to the right each frame. The frames come from our own writer
// (BinkWriter.h); the builder can also damage one frame on purpose.
#include "samples/BinkWriter.h"

#include <cstdint>
#include <vector>

namespace testsupport {

constexpr uint32_t BINK_HEADER_SIZE = 44;

enum class BinkDamage {
    None,
    UnknownBlockType,   // the frame's first block has a type no decoder knows
    CutFrame,           // the frame's video stops after 8 bytes, amid the first plane's tables
    BadSound,           // the last audio track's packet in the frame: every byte after its size 0xFF
    SoundPastFrame,     // the size of the frame's first audio packet runs past the frame's end
    ShortLastFrame,     // the last frame is 2 bytes long (damagedFrame is passed over)
};

struct BinkShape {
    uint32_t width = 640;
    uint32_t height = 448;
    uint32_t frames = 150;
    uint32_t keyFrameInterval = 30;   // every such frame, from frame 0, is a key frame
    uint32_t number = 1;              // the clip number the frames show
    uint32_t audioTracks = 0;         // each of silence, as audio says
    BinkAudioTrack audio;
    BinkDamage damage = BinkDamage::None;
    uint32_t damagedFrame = 0;
};

BinkShape HiResShape(uint32_t frames, uint32_t number = 1);   // 640x448
BinkShape LoResShape(uint32_t frames, uint32_t number = 1);   // 320x224

// What frame shows of shape, every block filled: the background, the number's
// digits and the bar.
BinkBlocks ClipPicture(const BinkShape& shape, uint32_t frame);

// Little-endian header: "BIKi", length - 8, frames, largest frame, frames, width,
// height, 15, 1, flags 0, audio tracks; for each track 4 bytes, then for each its
// sample rate and flags, then for each its id; then frames + 1 offsets from the
// start of the file (bit 0 marks a key frame, the last is the end of the last
// frame); then the frames, each a whole number of 32-bit words.
std::vector<uint8_t> BuildBinkFile(const BinkShape& shape);

// The 44-byte header of BuildBinkFile(shape) with its length field saying the
// file is size bytes in all: the start of a file too large to build whole.
std::vector<uint8_t> BinkHeader(const BinkShape& shape, uint32_t size);

// The sizes of the frames of BuildBinkFile(shape).
std::vector<uint32_t> BinkFrameSizes(const BinkShape& shape);

void PutU32(std::vector<uint8_t>& bytes, uint32_t offset, uint32_t value);
uint32_t GetU32(const std::vector<uint8_t>& bytes, uint32_t offset);

} // namespace testsupport
