#pragma once
// What a scan accepts without looking: the checks that tell a damaged copy of an
// archive from a whole one, clip by clip, from the Bink headers of the clips the
// table holds.
#include "catalogue/ClipTable.h"

#include <cstdint>
#include <string>
#include <vector>

class CFile;

#include "catalogue/DiscIdentity.h"

struct ClipFinding {
    uint32_t clip;      // 1-based; 0 for a finding about the whole archive
    std::string text;   // e.g. "clip 34: the low-resolution video's size runs 5 bytes past the end of the archive"
};

// For each encoding of each clip: bytes recorded past the end of the archive (a
// cut copy), a header cut off or too large for the span, a picture other than
// 640x448 (high) or 320x224 (low), frame counts that differ from the clip's
// record, and a frame index that ends elsewhere than the size field says.
std::vector<ClipFinding> CheckClips(CFile& archive, uint32_t length, const ClipTable& table);
// The findings' texts in one line, "; " between them: the reason an encoding
// that the checks refuse is not decoded.
std::string FindingsText(const std::vector<ClipFinding>& findings);

// The same for one encoding of the clip at index.
std::vector<ClipFinding> CheckEncoding(CFile& archive, uint32_t length, const ClipTable& table, uint32_t index,
                                       Resolution resolution);

// How many clips a known disc has (as many as its titles); 0 for the publisher
// archive and any other.
uint32_t KnownClipCount(DiscId disc);

// An archive without clips, or a known disc's archive with more or fewer clips
// than that disc has: "holds 3 clips; KVN Disc 2 has 34".
std::vector<ClipFinding> CheckClipCount(const DiscIdentity& identity, uint32_t count);
