#include "OutputTarget.h"

#include "AtomicOutput.h"
#include "File.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

enum class Existing { Nothing, RegularFile, Stream };

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// What is at path, or OutputRefused for what is never written to. The message
// suggests --force only where --force would replace a regular file.
Existing LookAt(const std::string& path, const struct stat& archiveInfo, bool force)
{
    // Whatever the spelling of the path, a hard or a symbolic link to the archive is the archive.
    struct stat info;
    if (::stat(path.c_str(), &info) == 0 && SameFile(info, archiveInfo))
        throw OutputRefused(path, "is the archive itself; refusing to overwrite it");
    if (::lstat(path.c_str(), &info) != 0)
        return Existing::Nothing;
    if (S_ISREG(info.st_mode)) {
        if (!force)
            throw OutputRefused(path, "already exists (--force overwrites it)");
        return Existing::RegularFile;
    }
    if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))
        return Existing::Stream;
    if (S_ISLNK(info.st_mode)) {
        // Writing through a link into a device or a FIFO (/dev/stdout) replaces nothing.
        struct stat target;
        if (::stat(path.c_str(), &target) == 0 && (S_ISCHR(target.st_mode) || S_ISFIFO(target.st_mode)))
            return Existing::Stream;
        throw OutputRefused(path, "is a symbolic link; refusing to replace it (name its target instead)");
    }
    if (S_ISDIR(info.st_mode))
        throw OutputRefused(path, "is a folder; refusing to replace it");
    if (S_ISBLK(info.st_mode))
        throw OutputRefused(path, "is a block device; refusing to write to it");
    throw OutputRefused(path, "is not a regular file; refusing to replace it");
}

void RefuseTerminal(int fd, const std::string& name)
{
    if (::isatty(fd) == 1)
        throw OutputRefused(name, "is a terminal; refusing to write clip bytes to it (redirect it to a file or a pipe)");
}

// What an open output is, looked at through its descriptor: never the archive
// (standard output can be sent to it with >>), never a terminal, and, when its
// path was taken for a device or a FIFO, still one: a path swapped for a regular
// file in between is not written over in place.
void CheckOpenOutput(int fd, const std::string& name, const struct stat& archiveInfo, bool stream)
{
    RefuseTerminal(fd, name);
    struct stat info;
    if (::fstat(fd, &info) != 0)
        throw CFileException(CFileException::OsErrorToCause(errno), errno, name);
    if (SameFile(info, archiveInfo))
        throw OutputRefused(name, "is the archive itself; refusing to overwrite it");
    if (stream && !S_ISCHR(info.st_mode) && !S_ISFIFO(info.st_mode))
        throw OutputRefused(name, "changed while it was opened; refusing to write to it");
}

// A stream cannot take back what it was given: a clip that the archive ends
// inside is refused before the first byte, with the error its copy would meet.
void CopyToStream(CFile& archive, const ClipSpan& span, CFile& target, const CopyProgress& progress)
{
    if (ClipSpanEnd(span) > archive.GetLength())
        throw CFileException(CFileException::endOfFile, 0, archive.GetFilePath());
    CopyClipBytes(archive, span.offset, span.size, target, progress);
    target.Close();
}

} // namespace

void WriteClipFile(CFile& archive, const struct stat& archiveInfo, const ClipSpan& span, const std::string& path,
                   bool force, const CopyProgress& progress)
{
    if (LookAt(path, archiveInfo, force) == Existing::Stream) {
        // A device or a FIFO takes the bytes as they come; a FIFO waits here for its reader.
        int fd;
        do
            fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        while (fd < 0 && errno == EINTR);
        if (fd < 0)
            throw CFileException(CFileException::OsErrorToCause(errno), errno, path);
        CFile target(fd, path);
        CheckOpenOutput(fd, path, archiveInfo, true);
        CopyToStream(archive, span, target, progress);
        return;
    }
    CAtomicOutput target(path);
    CopyClipBytes(archive, span.offset, span.size, target.File(), progress);
    target.Commit(force);
}

void WriteClipStream(CFile& archive, const struct stat& archiveInfo, const ClipSpan& span, int fd,
                     const std::string& name, const CopyProgress& progress)
{
    CheckOpenOutput(fd, name, archiveInfo, false);
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        throw CFileException(CFileException::OsErrorToCause(errno), errno, name);
    CFile target(own, name);
    CopyToStream(archive, span, target, progress);
}
