#include "LoadedArchive.h"

#include "DiscOption.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// A pipe, a FIFO or a device has no length to scan and may never end. The look
// does not block: a FIFO without a writer opens at once when non-blocking. When
// the path cannot be opened at all, the real open says why.
void RefuseAnythingButARegularFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return;
    struct stat info;
    const bool statted = ::fstat(fd, &info) == 0;
    ::close(fd);
    if (statted && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
        throw CUnusableArchive(path, "not a regular file");
}

} // namespace

CUnusableArchive::CUnusableArchive(std::string path, std::string reason)
    : m_strPath(std::move(path)), m_strReason(std::move(reason))
{
}

std::string CUnusableArchive::GetErrorMessage() const
{
    return m_strPath + ": " + m_strReason;
}

bool LoadArchive(const std::string& path, LoadedArchive& archive)
{
    archive.strPath = path;
    RefuseAnythingButARegularFile(path);

    CFileException error;
    if (!archive.file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &error))
        throw error;
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
