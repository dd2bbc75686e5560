#pragma once
// Walks a disc archive from offset 0 and records each clip. Only tag groups, size
// fields and the frame count are read; the video data is stepped over by seeking.
#include "ClipTable.h"

#include <cstdint>
#include <functional>

class CFile;

enum class ScanResult { Accepted, Rejected };

// Called after each clip with the offset just past its low-resolution file.
using ScanProgress = std::function<void(uint32_t cursor)>;

// Fills table (nCount from 0) and keeps nothing else. A rejected archive is
// reported by the caller as "Invalid movie file."; errors of the file itself
// pass through as CFileException.
ScanResult ScanArchive(CFile& archive, uint32_t length, bool publisher, ClipTable& table,
                       const ScanProgress& progress);

extern const char* const INVALID_MOVIE_FILE;   // "Invalid movie file."
