#pragma once
// An archive opened, scanned and named the way the viewer's "..." command does it.
#include "ClipTable.h"
#include "DiscIdentity.h"
#include "ReadAheadFile.h"

#include <memory>
#include <string>

struct LoadedArchive {
    std::string strPath;
    std::string strTitle;           // the file name without its folder
    CReadAheadFile file;            // open for reading, shared with any other opener
    std::unique_ptr<ClipTable> clips{new ClipTable()};
    DiscIdentity identity{DISC_NONE, nullptr};
};

// False when the scanner rejects the archive; file errors throw CFileException.
bool LoadArchive(const std::string& path, LoadedArchive& archive);
