#pragma once
// A new archive written from pieces: spans of files that exist (an archive, the
// clips' Bink files), copied in 1 MiB chunks and never held whole, and the few
// bytes of clip headers. The pieces are planned first, so that the archive's
// size and where the scan will find each clip are known before the first byte
// is written.
//
// Later clips move when a clip changes size: nothing in the format points at
// a clip, the scan finds each one after the one before.
#include "catalogue/ClipTable.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CFile;

// The most frames a clip header's 16-bit field holds.
constexpr uint32_t MOST_HEADER_FRAMES = 65535;

// A span of a file, or bytes of the plan's own (source null).
struct ArchivePiece {
    CFile* source = nullptr;
    uint32_t offset = 0;
    uint32_t size = 0;
    std::vector<uint8_t> bytes;
};

// One clip's two Bink files, each the whole of its own file, and the names
// that refusals give them.
struct NewClip {
    CFile* hi = nullptr;
    uint32_t hiSize = 0;
    uint32_t hiFrames = 0;   // the clip's count, as the scan reads it
    CFile* lo = nullptr;
    uint32_t loSize = 0;
    uint32_t loFrames = 0;   // its own count, which the scan does not read
    std::string hiName;
};

struct ArchivePlan {
    std::vector<ArchivePiece> pieces;
    uint64_t size = 0;                 // the new archive's length
    std::vector<ClipRecord> clips;     // what the scan of the new archive records
};

// A copy of archive (which the scan took, with table, whole: no clip runs past
// its length) in which the clip at index has clip's two files. Every other
// byte stays: the clip's header but for its 16-bit field at offset 6, which
// takes the new frame count; its filler blocks; every other clip; what
// follows the last clip. Throws CFailure naming clip.hiName for a frame count
// the header cannot hold, and output for an archive past MOST_ARCHIVE_BYTES.
ArchivePlan PlanReplace(CFile& archive, uint32_t length, bool publisher, const ClipTable& table, uint32_t index,
                        const NewClip& clip, const std::string& output);

// An archive of clips, in their order: each a clip header (unless publisher)
// whose 16-bit field holds the frame count, then its two files; no filler
// blocks. The same refusals as PlanReplace.
ArchivePlan PlanPack(const std::vector<NewClip>& clips, bool publisher, const std::string& output);

// Called after each chunk with the bytes written so far.
using WriteProgress = std::function<void(uint64_t written)>;

// Writes the plan's pieces into target at its position; file errors throw.
void WriteArchive(const ArchivePlan& plan, CFile& target, const WriteProgress& progress);
