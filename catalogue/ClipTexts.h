#pragma once
// The texts of a row of the clip list.
#include "catalogue/DiscIdentity.h"

#include <cstdint>
#include <string>

// The clip list's columns, left to right: the label, the length, and the sizes
// of the high- and low-resolution encodings.
constexpr int CLIP_COLUMNS = 4;
extern const char* const CLIP_COLUMN_HEADINGS[CLIP_COLUMNS];

// "%i:%02i" of minutes and seconds at 15 frames per second.
std::string FormatClipLength(uint32_t frames);
// "%.1fM" of the size in mebibytes.
std::string FormatClipSize(uint32_t bytes);
std::string FormatMebibytes(uint64_t bytes);
// The title of clip index for a disc, or "Clip %03i" of index+1 where there is none.
std::string FormatClipLabel(DiscId disc, uint32_t index);
