#include "catalogue/ClipTexts.h"

#include "catalogue/ClipTable.h"
#include "catalogue/ClipTitles.h"

#include <cstdio>

const char* const CLIP_COLUMN_HEADINGS[CLIP_COLUMNS] = {"Clip", "Length", "Hi-res", "Lo-res"};

namespace {

constexpr uint32_t FRAMES_PER_MINUTE = 60 * CLIP_FRAME_RATE;

const char* TitleOf(DiscId disc, uint32_t index)
{
    if (disc >= CLIP_TITLE_ROWS || index >= static_cast<uint32_t>(CLIP_TITLE_SLOTS))
        return nullptr;
    return g_clipTitles[disc][index];
}

} // namespace

std::string FormatClipLength(uint32_t frames)
{
    const unsigned minutes = frames / FRAMES_PER_MINUTE;
    const unsigned seconds = (frames / CLIP_FRAME_RATE) % 60;
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u", minutes, seconds);
    return text;
}

std::string FormatClipSize(uint32_t bytes)
{
    return FormatMebibytes(bytes);
}

std::string FormatMebibytes(uint64_t bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1fM", static_cast<double>(bytes) / MIB);
    return text;
}

std::string FormatClipLabel(DiscId disc, uint32_t index)
{
    // A clip of a known disc beyond its titles gets the same numbered label as
    // a clip of an unrecognised archive.
    if (const char* title = TitleOf(disc, index))
        return title;
    char text[32];
    std::snprintf(text, sizeof text, "Clip %03lu", static_cast<unsigned long>(index) + 1);
    return text;
}
