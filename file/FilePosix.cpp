// CFile on POSIX descriptors, for the host tree (the command-line tool, tests, fuzzing).
// Share flags are ignored: POSIX has no mandatory share modes, and advisory locks
// would protect nothing from other programs.
#include "file/File.h"
#include "file/SystemError.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(sizeof(off_t) >= 8, "the range checks need 64-bit file offsets");

namespace {

// The descriptor is open, so EBADF can only mean it is not open for this direction.
int TransferErrorCause(int error)
{
    return error == EBADF ? CFileException::accessDenied : CFileException::OsErrorToCause(error);
}

} // namespace

long LastSystemError() noexcept
{
    return errno;
}

bool IsReaderGone(long osError)
{
    return osError == EPIPE;
}

std::string SystemErrorText(long osError)
{
    const char* text = std::strerror(static_cast<int>(osError));
    return text ? text : "";
}

int CFileException::OsErrorToCause(long osError)
{
    switch (osError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    case ESPIPE:
    case EOVERFLOW: return badSeek;
    case EIO:
    case ENXIO: return hardIO;
    case ENOLCK:
    case EDEADLK: return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    default: return genericException;
    }
}

namespace {

// Opens fileName and looks at what it opened: a folder is refused, as Windows
// refuses to open one as a file, rather than failing at the first read.
int OpenDescriptor(const char* fileName, int flags, int& fd, struct stat& info) noexcept
{
    do
        fd = ::open(fileName, flags | O_CLOEXEC | O_NOCTTY, 0666);
    while (fd == -1 && errno == EINTR);
    if (fd == -1)
        return errno;
    const int error = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (error != 0)
        ::close(fd);
    return error;
}

} // namespace

long CFile::OpenOsHandle(const char* fileName, unsigned openFlags, intptr_t& hFile) noexcept
{
    int flags = O_RDONLY;
    if (openFlags & modeReadWrite)
        flags = O_RDWR;
    else if (openFlags & modeWrite)
        flags = O_WRONLY;
    if (openFlags & modeCreate)
        flags |= O_CREAT | O_TRUNC;
    int fd = -1;
    struct stat info;
    if (const int error = OpenDescriptor(fileName, flags, fd, info))
        return error;
    hFile = fd;
    return 0;
}

long CFile::OpenOsExisting(const char* fileName, intptr_t& hFile, bool& regular) noexcept
{
    // Non-blocking, so that a FIFO without a writer opens at once and is refused;
    // a regular file is then read as usual.
    int fd = -1;
    struct stat info;
    if (const int error = OpenDescriptor(fileName, O_RDONLY | O_NONBLOCK, fd, info))
        return error;
    regular = S_ISREG(info.st_mode);
    if (regular && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    hFile = fd;
    return 0;
}

long CFile::OsIdentity(intptr_t hFile, FileIdentity& identity) noexcept
{
    struct stat info;
    if (::fstat(static_cast<int>(hFile), &info) != 0)
        return errno;
    identity.volume = static_cast<uint64_t>(info.st_dev);
    identity.index = static_cast<uint64_t>(info.st_ino);
    return 0;
}

long CFile::CloseOsHandle(intptr_t hFile) noexcept
{
    // EINTR leaves the descriptor closed on Linux: retrying could close another file.
    if (::close(static_cast<int>(hFile)) != 0 && errno != EINTR)
        return errno;
    return 0;
}

uint32_t CFile::Read(void* buffer, uint32_t count)
{
    ThrowIfClosed();
    uint8_t* bytes = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(static_cast<int>(m_hFile), bytes + done, count - done);
        if (got < 0) {
            const int error = errno;
            if (error == EINTR)
                continue;
            ThrowFileException(TransferErrorCause(error), error);
        }
        if (got == 0)
            break;  // end of file
        done += static_cast<uint32_t>(got);
    }
    return done;
}

void CFile::Write(const void* buffer, uint32_t count)
{
    ThrowIfClosed();
    const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(static_cast<int>(m_hFile), bytes + done, count - done);
        if (put < 0) {
            const int error = errno;
            if (error == EINTR)
                continue;
            ThrowFileException(TransferErrorCause(error), error);
        }
        if (put == 0)
            ThrowFileException(CFileException::diskFull);  // no progress and no reason: treat as full
        done += static_cast<uint32_t>(put);
    }
}

long CFile::OsPosition(intptr_t hFile, int64_t& position) noexcept
{
    const off_t at = ::lseek(static_cast<int>(hFile), 0, SEEK_CUR);
    if (at < 0)
        return errno;
    position = at;
    return 0;
}

long CFile::OsLength(intptr_t hFile, int64_t& length) noexcept
{
    struct stat info;
    if (::fstat(static_cast<int>(hFile), &info) != 0)
        return errno;
    length = info.st_size;
    return 0;
}

long CFile::SetOsPosition(intptr_t hFile, int64_t position) noexcept
{
    return ::lseek(static_cast<int>(hFile), static_cast<off_t>(position), SEEK_SET) < 0 ? errno : 0;
}

long CFile::OsReadAt(intptr_t hFile, uint64_t position, void* buffer, uint32_t count, uint32_t& got) noexcept
{
    ssize_t read;
    do
        read = ::pread(static_cast<int>(hFile), buffer, count, static_cast<off_t>(position));
    while (read < 0 && errno == EINTR);
    if (read < 0)
        return errno;
    got = static_cast<uint32_t>(read);
    return 0;
}

long CFile::FlushOsHandle(intptr_t hFile) noexcept
{
    return ::fsync(static_cast<int>(hFile)) != 0 ? errno : 0;
}

long CFile::RemoveOsFile(const char* fileName) noexcept
{
    return ::unlink(fileName) != 0 ? errno : 0;
}
