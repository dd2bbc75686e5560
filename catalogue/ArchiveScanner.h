#pragma once
// Walks a disc archive from offset 0 and records each clip. Only tag groups, size
// fields and the frame count are read; the video data is stepped over by seeking.
#include "catalogue/ClipTable.h"

#include <cstdint>
#include <climits>
#include <functional>
#include <string>

class CFile;

// The file is positioned with signed 32-bit offsets, so an archive ends below
// 2 GiB: this many bytes at most.
constexpr uint32_t MOST_ARCHIVE_BYTES = INT32_MAX;

enum class ScanResult { Accepted, Rejected };

// Called after each clip with the offset just past its low-resolution file.
using ScanProgress = std::function<void(uint32_t cursor)>;

// Why a scan rejected an archive: the clip it was reading, where the fault lies,
// and both in plain words, e.g. "clip 34: the high-resolution video's size runs
// 5 bytes past the end of the archive".
struct ScanRejection {
    uint32_t clip = 0;     // 1-based
    uint32_t offset = 0;   // from the start of the archive
    std::string text;
};

// Fills table (nCount from 0) and keeps nothing else. A rejected archive is
// reported by the caller as "Invalid movie file."; errors of the file itself
// pass through as CFileException.
ScanResult ScanArchive(CFile& archive, uint32_t length, bool publisher, ClipTable& table,
                       const ScanProgress& progress);

// The same walk; on a rejection, *rejection (when given) says why.
ScanResult ScanArchive(CFile& archive, uint32_t length, bool publisher, ClipTable& table,
                       const ScanProgress& progress, ScanRejection* rejection);

extern const char* const INVALID_MOVIE_FILE;   // "Invalid movie file."
