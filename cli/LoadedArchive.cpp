#include "LoadedArchive.h"

#include "DiscOption.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// A pipe, a FIFO or a device has no length to scan and may never end. The open
// does not block: a FIFO without a writer opens at once when non-blocking. The
// descriptor looked at is the one then read, so nothing can be swapped between.
void OpenRegularFile(const std::string& path, CFile& file, struct stat& info)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        throw CFileException(CFileException::OsErrorToCause(error), error, path);
    }
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        throw CUnusableArchive(path, "not a regular file");
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        throw CFileException(CFileException::OsErrorToCause(error), error, path);
    }
    file.Attach(fd, path);
}

} // namespace

CUnusableArchive::CUnusableArchive(std::string path, std::string reason)
    : m_path(std::move(path)), m_reason(std::move(reason))
{
}

std::string CUnusableArchive::GetErrorMessage() const
{
    return m_path + ": " + m_reason;
}

bool LoadArchive(const std::string& path, LoadedArchive& archive)
{
    archive.strPath = path;
    OpenRegularFile(path, archive.file, archive.fileInfo);
    archive.strTitle = archive.file.GetFileName();

    archive.length = archive.file.GetLength();
    const std::string identifying = IdentifyingTitle(archive.strTitle);
    const bool publisher = IsPublisherArchive(identifying.c_str());
    if (ScanArchive(archive.file, archive.length, publisher, *archive.clips, nullptr, &archive.rejection) !=
        ScanResult::Accepted)
        return false;

    archive.identity = IdentifyDisc(identifying.c_str());
    return true;
}
