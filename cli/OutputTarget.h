#pragma once
// Writing one clip to its output path: what may be there already and how each
// kind of file is written. A new or replaced regular file goes through
// CAtomicOutput; a character device or a FIFO is written straight into, never
// replaced; anything else that exists is refused.
#include "ClipCopy.h"
#include "ClipTable.h"

#include <stdexcept>
#include <string>
#include <sys/stat.h>

class CFile;

// An output refused before anything was written, with the reason in words.
class OutputRefused : public std::runtime_error {
public:
    OutputRefused(const std::string& path, const std::string& reason) : std::runtime_error(reason), path(path) {}
    std::string path;
};

// Copies span of archive to path; the archive (archiveInfo) is never a target.
// Throws OutputRefused, or CFileException for a failed write or read.
void WriteClipFile(CFile& archive, const struct stat& archiveInfo, const ClipSpan& span, const std::string& path,
                   bool force, const CopyProgress& progress);

// Copies span of archive to the open descriptor fd (standard output), named name
// in errors. Throws OutputRefused when fd is a terminal or the archive itself.
void WriteClipStream(CFile& archive, const struct stat& archiveInfo, const ClipSpan& span, int fd,
                     const std::string& name, const CopyProgress& progress);
