#pragma once
// The catalogue of one disc archive: where each clip's two Bink encodings lie and
// how many frames the clip has.
#include <cstdint>

// One clip. Each size is a whole Bink file: its stored size field plus the 8 bytes
// (tag group and size field) that the field does not count.
struct ClipRecord {
    uint32_t dwHiOffset;
    uint32_t dwHiSize;
    uint32_t dwLoOffset;   // always dwHiOffset + dwHiSize: the low-resolution file follows at once
    uint32_t dwLoSize;
    uint32_t dwFrames;     // from the high-resolution file only
};

constexpr uint32_t MAX_CLIPS = 256;

// The clips play at 15 frames per second, whatever their headers say.
constexpr uint32_t CLIP_FRAME_RATE = 15;

// Sizes are shown, and copies made, in mebibytes.
constexpr uint32_t MIB = 1048576;

// Slots 0 .. nCount-1 in archive order; slots past nCount keep whatever was there.
struct ClipTable {
    ClipRecord aRecords[MAX_CLIPS];
    uint32_t nCount;
};

// Which of a clip's two encodings: 640x448 or 320x224.
enum class Resolution { High, Low };

struct ClipSpan {
    uint32_t offset;
    uint32_t size;
};
ClipSpan GetClipSpan(const ClipRecord& record, Resolution resolution);

// Just past the span's last byte; 64 bits, as offset and size may add up past 4 GiB.
// The scan accepts an archive cut inside its last clip, so a span may end past
// the end of the archive: a copy cut short.
inline uint64_t ClipSpanEnd(const ClipSpan& span)
{
    return static_cast<uint64_t>(span.offset) + span.size;
}
