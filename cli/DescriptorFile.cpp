#include "DescriptorFile.h"

#include <cerrno>
#include <unistd.h>

CDescriptorFile::CDescriptorFile(int fd, const std::string& displayName) : m_fd(fd)
{
    m_strFileName = displayName;
}

CDescriptorFile::~CDescriptorFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void CDescriptorFile::ThrowErrno(int error) const
{
    throw CFileException(CFileException::OsErrorToCause(error), error, m_strFileName);
}

void CDescriptorFile::Write(const void* buffer, uint32_t count)
{
    if (m_fd < 0)
        throw CFileException(CFileException::invalidFile, 0, m_strFileName);
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t written = ::write(m_fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (written == 0)
            throw CFileException(CFileException::diskFull, 0, m_strFileName);
        bytes += written;
        count -= static_cast<uint32_t>(written);
    }
}

void CDescriptorFile::Sync()
{
    if (m_fd < 0)
        throw CFileException(CFileException::invalidFile, 0, m_strFileName);
    if (::fsync(m_fd) != 0)
        ThrowErrno(errno);
}

void CDescriptorFile::Close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    // A failed close can be the first report of a failed delayed write.
    if (::close(fd) != 0 && errno != EINTR)
        ThrowErrno(errno);
}
