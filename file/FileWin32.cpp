// CFile on Win32 handles: the backend of the win32 tree, and the only file of the
// class that sees <windows.h>.
#include "file/File.h"
#include "file/SystemError.h"
#include "file/Win32Paths.h"

#include <windows.h>

static_assert(sizeof(HANDLE) == sizeof(intptr_t), "a HANDLE is kept in an intptr_t");

namespace {

HANDLE ToHandle(intptr_t hFile)
{
    return reinterpret_cast<HANDLE>(hFile);
}

// As Windows shares: no share flag (or shareExclusive) lets no one else in.
DWORD ShareMode(unsigned openFlags)
{
    switch (openFlags & 0x70) {
    case CFile::shareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    case CFile::shareDenyWrite: return FILE_SHARE_READ;
    case CFile::shareDenyRead: return FILE_SHARE_WRITE;
    default: return 0;
    }
}

} // namespace

long LastSystemError() noexcept
{
    return static_cast<long>(GetLastError());
}

bool IsReaderGone(long osError)
{
    return osError == ERROR_NO_DATA || osError == ERROR_BROKEN_PIPE;
}

std::string SystemErrorText(long osError)
{
    return SystemMessage(static_cast<DWORD>(osError));
}

int CFileException::OsErrorToCause(long osError)
{
    switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_SEEK: return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_IO_DEVICE: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

long CFile::OpenOsHandle(const char* fileName, unsigned openFlags, intptr_t& hFile) noexcept
{
    DWORD access = GENERIC_READ;
    if (openFlags & modeReadWrite)
        access = GENERIC_READ | GENERIC_WRITE;
    else if (openFlags & modeWrite)
        access = GENERIC_WRITE;
    const DWORD creation = (openFlags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;

    const HANDLE h = CreateFileAt(fileName, access, ShareMode(openFlags), creation, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE)
        return static_cast<long>(GetLastError());
    hFile = reinterpret_cast<intptr_t>(h);
    return 0;
}

long CFile::OpenOsExisting(const char* fileName, intptr_t& hFile, bool& regular) noexcept
{
    // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; a device or a
    // pipe opens, and its type tells it from a file on a disk.
    const HANDLE h = CreateFileAt(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE)
        return static_cast<long>(GetLastError());
    regular = GetFileType(h) == FILE_TYPE_DISK;
    hFile = reinterpret_cast<intptr_t>(h);
    return 0;
}

long CFile::OsIdentity(intptr_t hFile, FileIdentity& identity) noexcept
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(ToHandle(hFile), &info))
        return static_cast<long>(GetLastError());
    identity.volume = info.dwVolumeSerialNumber;
    identity.index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return 0;
}

long CFile::CloseOsHandle(intptr_t hFile) noexcept
{
    return CloseHandle(ToHandle(hFile)) ? 0 : static_cast<long>(GetLastError());
}

uint32_t CFile::Read(void* buffer, uint32_t count)
{
    ThrowIfClosed();
    BYTE* bytes = static_cast<BYTE*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        DWORD got = 0;
        if (!ReadFile(ToHandle(m_hFile), bytes + done, count - done, &got, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
                break;
            ThrowFileException(CFileException::OsErrorToCause(error), static_cast<long>(error));
        }
        if (got == 0)
            break;  // end of file
        done += got;
    }
    return done;
}

void CFile::Write(const void* buffer, uint32_t count)
{
    ThrowIfClosed();
    const BYTE* bytes = static_cast<const BYTE*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        DWORD put = 0;
        if (!WriteFile(ToHandle(m_hFile), bytes + done, count - done, &put, nullptr)) {
            const DWORD error = GetLastError();
            ThrowFileException(CFileException::OsErrorToCause(error), static_cast<long>(error));
        }
        if (put == 0)
            ThrowFileException(CFileException::diskFull, ERROR_DISK_FULL);
        done += put;
    }
}

long CFile::OsPosition(intptr_t hFile, int64_t& position) noexcept
{
    LARGE_INTEGER zero = {}, at = {};
    if (!SetFilePointerEx(ToHandle(hFile), zero, &at, FILE_CURRENT))
        return static_cast<long>(GetLastError());
    position = at.QuadPart;
    return 0;
}

long CFile::OsLength(intptr_t hFile, int64_t& length) noexcept
{
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(ToHandle(hFile), &size))
        return static_cast<long>(GetLastError());
    length = size.QuadPart;
    return 0;
}

long CFile::SetOsPosition(intptr_t hFile, int64_t position) noexcept
{
    LARGE_INTEGER to = {};
    to.QuadPart = position;
    return SetFilePointerEx(ToHandle(hFile), to, nullptr, FILE_BEGIN) ? 0 : static_cast<long>(GetLastError());
}

long CFile::OsReadAt(intptr_t hFile, uint64_t position, void* buffer, uint32_t count, uint32_t& got) noexcept
{
    // An offset in the OVERLAPPED structure reads there on a handle opened for
    // plain (synchronous) use; the handle's own position moves, which ReadAt's
    // callers do not rely on.
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(position);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD read = 0;
    if (!ReadFile(ToHandle(hFile), buffer, count, &read, &at)) {
        const DWORD error = GetLastError();
        if (error != ERROR_HANDLE_EOF)
            return static_cast<long>(error);
    }
    got = read;
    return 0;
}

long CFile::FlushOsHandle(intptr_t hFile) noexcept
{
    return FlushFileBuffers(ToHandle(hFile)) ? 0 : static_cast<long>(GetLastError());
}

long CFile::RemoveOsFile(const char* fileName) noexcept
{
    return DeleteFileAt(fileName) ? 0 : static_cast<long>(GetLastError());
}
