// The platform-free part of CFile; the system calls are in FilePosix.cpp and FileWin32.cpp.
#include "file/File.h"

#include "file/PathNames.h"

#include <algorithm>

CFile::CFile() : m_hFile(-1) {}

CFile::CFile(intptr_t hFile, const std::string& fileName) : m_strFileName(fileName), m_hFile(hFile) {}

CFile::~CFile()
{
    // A destructor runs while an exception may be unwinding: a failed close is
    // dropped here. Callers who must know close explicitly.
    if (m_hFile != -1)
        CloseOsHandle(m_hFile);
}

bool CFile::IsOpen() const
{
    return m_hFile != -1;
}

std::string CFile::GetFileName() const
{
    return NameOf(m_strFileName);
}

void CFile::ThrowIfClosed() const
{
    if (IsOpen())
        return;
    if (m_openFailure.m_cause != CFileException::none)
        throw m_openFailure;
    ThrowFileException(CFileException::invalidFile);
}

void CFile::ThrowFileException(int cause, long osError) const
{
    throw CFileException(cause, osError, m_strFileName);
}

void CFile::Attach(intptr_t hFile, const std::string& fileName)
{
    if (m_hFile != -1)
        CloseOsHandle(m_hFile);
    m_hFile = hFile;
    m_strFileName = fileName;
    m_openFailure = CFileException();
}

bool CFile::OpenFailed(const CFileException& failure, CFileException* pError)
{
    m_hFile = -1;
    m_openFailure = failure;
    if (pError)
        *pError = failure;
    return false;
}

bool CFile::Open(const char* fileName, unsigned openFlags, CFileException* pError)
{
    if (m_hFile != -1)
        CloseOsHandle(m_hFile);
    m_hFile = -1;
    m_strFileName = fileName ? fileName : "";
    m_openFailure = CFileException();

    if (!fileName || !*fileName)
        return OpenFailed(CFileException(CFileException::badPath, 0, m_strFileName), pError);
    if (const long osError = OpenOsHandle(fileName, openFlags, m_hFile))
        return OpenFailed(CFileException(CFileException::OsErrorToCause(osError), osError, m_strFileName), pError);
    return true;
}

bool CFile::OpenRegularFile(const char* fileName, CFileException* pError)
{
    const std::string name = fileName ? fileName : "";
    Attach(-1, name);   // closes what was open, and lets a derived class forget its state
    if (name.empty())
        return OpenFailed(CFileException(CFileException::badPath, 0, name), pError);
    intptr_t hFile = -1;
    bool regular = false;
    if (const long osError = OpenOsExisting(fileName, hFile, regular))
        return OpenFailed(CFileException(CFileException::OsErrorToCause(osError), osError, name), pError);
    if (!regular) {
        CloseOsHandle(hFile);
        return OpenFailed(CFileException(CFileException::notRegularFile, 0, name), pError);
    }
    Attach(hFile, name);
    return true;
}

uint32_t CFile::ReadAt(uint64_t position, void* buffer, uint32_t count)
{
    ThrowIfClosed();
    CheckedPosition(position, 0, INT64_MAX);
    // No byte lies at 2^63 or past it: a read reaching there stops short, as at
    // the end of the file, rather than the system refusing all of it.
    count = static_cast<uint32_t>(std::min<uint64_t>(count, INT64_MAX - position));
    uint8_t* bytes = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        uint32_t got = 0;
        if (const long osError = OsReadAt(m_hFile, position + done, bytes + done, count - done, got))
            ThrowFileException(CFileException::OsErrorToCause(osError), osError);
        if (got == 0)
            break;   // the end of the file
        done += got;
    }
    return done;
}

FileIdentity CFile::GetIdentity() const
{
    ThrowIfClosed();
    FileIdentity identity;
    if (const long osError = OsIdentity(m_hFile, identity))
        ThrowFileException(CFileException::OsErrorToCause(osError), osError);
    return identity;
}

void CFile::Close()
{
    if (m_hFile == -1)
        return;
    const intptr_t hFile = m_hFile;
    m_hFile = -1;
    if (const long osError = CloseOsHandle(hFile))
        ThrowFileException(CFileException::OsErrorToCause(osError), osError);
}

uint64_t CFile::CheckedPosition(uint64_t base, int64_t offset, uint64_t last) const
{
    // Unsigned, and compared before adding, so that no base and offset can
    // overflow into a position that looks valid.
    uint64_t position = 0;
    if (offset >= 0) {
        const uint64_t forward = static_cast<uint64_t>(offset);
        if (base > last || forward > last - base)
            ThrowFileException(CFileException::badSeek);
        position = base + forward;
    } else {
        const uint64_t back = 0 - static_cast<uint64_t>(offset);
        if (back > base || base - back > last)
            ThrowFileException(CFileException::badSeek);
        position = base - back;
    }
    return position;
}

uint64_t CFile::SeekWithin(int64_t offset, unsigned from, uint64_t last)
{
    ThrowIfClosed();
    int64_t base = 0;
    long osError = 0;
    if (from == current)
        osError = OsPosition(m_hFile, base);
    else if (from == end)
        osError = OsLength(m_hFile, base);
    else if (from != begin)
        ThrowFileException(CFileException::badSeek);
    if (osError != 0)
        ThrowFileException(CFileException::badSeek, osError);
    const uint64_t position = CheckedPosition(static_cast<uint64_t>(base), offset, last);
    if ((osError = SetOsPosition(m_hFile, static_cast<int64_t>(position))) != 0)
        ThrowFileException(CFileException::badSeek, osError);
    return position;
}

int32_t CFile::Seek(int32_t offset, unsigned from)
{
    return static_cast<int32_t>(SeekWithin(offset, from, INT32_MAX));
}

uint64_t CFile::Seek64(int64_t offset, unsigned from)
{
    return SeekWithin(offset, from, INT64_MAX);
}

uint64_t CFile::GetLength64() const
{
    ThrowIfClosed();
    int64_t length = 0;
    if (const long osError = OsLength(m_hFile, length))
        ThrowFileException(CFileException::OsErrorToCause(osError), osError);
    return static_cast<uint64_t>(length);
}

uint32_t CFile::GetLength() const
{
    const uint64_t length = GetLength64();
    if (length > UINT32_MAX)
        ThrowFileException(CFileException::tooLarge);
    return static_cast<uint32_t>(length);
}

void CFile::Flush()
{
    ThrowIfClosed();
    if (const long osError = FlushOsHandle(m_hFile))
        ThrowFileException(CFileException::OsErrorToCause(osError), osError);
}

void CFile::Remove(const char* fileName)
{
    const std::string name = fileName ? fileName : "";
    if (name.empty())
        throw CFileException(CFileException::badPath, 0, name);
    if (const long osError = RemoveOsFile(name.c_str()))
        throw CFileException(CFileException::OsErrorToCause(osError), osError, name);
}
