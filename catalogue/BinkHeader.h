#pragma once
// The header of one Bink file inside an archive, read through the file class:
// 44 bytes and, on request, the one frame-index entry that ends the frames. The
// scan never needs it; listings and checks of an archive do.
#include <cstdint>

class CFile;

struct BinkHeader {
    uint32_t sizeField;      // the file's whole length minus 8
    uint32_t frames;
    uint32_t largestFrame;
    uint32_t framesAgain;    // the frame count a second time
    uint32_t width;
    uint32_t height;
    uint32_t audioTracks;    // each described in 12 bytes between the header and the frame index
};

constexpr uint32_t BINK_HEADER_BYTES = 44;

// False when the header does not lie whole inside the archive's length (or beyond
// the signed 32-bit positions of the file class); file errors throw.
bool ReadBinkHeader(CFile& archive, uint32_t archiveLength, uint32_t offset, BinkHeader& header);

// Where the frame index begins, from the start of the Bink file.
uint64_t FrameIndexOffset(const BinkHeader& header);

// The last entry of the frame index (frames + 1 entries after the audio tracks): where
// the last frame ends, from the start of the Bink file. False when the index does
// not fit inside the file's own length or the archive's.
bool ReadBinkFramesEnd(CFile& archive, uint32_t archiveLength, uint32_t offset, const BinkHeader& header,
                       uint32_t& end);
