#pragma once
// An archive opened, scanned and named the way the viewer's "..." command does it.
#include "ArchiveScanner.h"
#include "ClipTable.h"
#include "DiscIdentity.h"
#include "FileException.h"
#include "ReadAheadFile.h"

#include <memory>
#include <string>
#include <sys/stat.h>

struct LoadedArchive {
    std::string strPath;
    std::string strTitle;           // the file name without its folder ('/' separates folders)
    CReadAheadFile file;            // open for reading, shared with any other opener
    uint32_t length = 0;
    struct stat fileInfo {};        // of the descriptor read, so the file read is the one looked at
    std::unique_ptr<ClipTable> clips{new ClipTable()};
    DiscIdentity identity{DISC_NONE, nullptr};
    ScanRejection rejection;        // why the scan refused the archive
};

// An archive that is not even scanned, e.g. a pipe or a device: the path and why.
class CUnusableArchive : public CException {
public:
    CUnusableArchive(std::string path, std::string reason);
    std::string GetErrorMessage() const override;

private:
    std::string m_path;
    std::string m_reason;
};

// False when the scanner rejects the archive (archive.rejection says why). Only a
// regular file is scanned: anything else throws CUnusableArchive, without waiting
// for a writer; file errors throw CFileException. --disc, when given, decides the
// layout and the disc instead of the file name.
bool LoadArchive(const std::string& path, LoadedArchive& archive);
