#pragma once
// A check of every frame: each encoding of each clip decoded, picture by
// picture and every sound track with it, so that damage to a bitstream's
// structure shows (a changed colour value may not: it decodes as well as the
// right one).
#include "catalogue/ClipChecks.h"
#include "catalogue/ClipTable.h"

#include <cstdint>
#include <string>
#include <vector>

class CFile;

// What decoding one encoding found.
struct FramesFinding {
    // The problem, "clip 12 (high-res.): frame 17 of 45: <the decoder's
    // reason>" or "... decodes 40 of 45 frames"; none when it decodes whole.
    std::vector<ClipFinding> findings;
    uint32_t frames = 0;         // as its header counts them
    uint32_t decoded = 0;        // of those, the frames that decoded whole
    uint32_t firstDamaged = 0;   // 1-based; 0 when none, or the encoding was refused before its frames
};

// Decodes every frame, on past a damaged one, of the encoding of the clip at
// index. Hand it only an encoding that CheckEncoding passes: a decoder must
// not see a picture size other than its encoding's or a frame index past the
// clip's end (FFmpeg would take what the header claims). It reads with
// CFile::ReadAt alone, so several may run on one archive at once. File errors throw.
FramesFinding CheckEncodingFrames(CFile& archive, const ClipTable& table, uint32_t index, Resolution resolution);
