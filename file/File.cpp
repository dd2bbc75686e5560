// The platform-free part of CFile; the system calls are in FilePosix.cpp and FileWin32.cpp.
#include "File.h"

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
#ifdef _WIN32
    const char* separators = "\\/:";
#else
    const char* separators = "/";
#endif
    const std::string::size_type slash = m_strFileName.find_last_of(separators);
    return slash == std::string::npos ? m_strFileName : m_strFileName.substr(slash + 1);
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

bool CFile::Open(const char* fileName, unsigned openFlags, CFileException* pError)
{
    if (m_hFile != -1)
        CloseOsHandle(m_hFile);
    m_hFile = -1;
    m_strFileName = fileName ? fileName : "";
    m_openFailure = CFileException();

    long osError = 0;
    if (!fileName || !*fileName)
        m_openFailure = CFileException(CFileException::badPath, 0, m_strFileName);
    else if ((osError = OpenOsHandle(fileName, openFlags, m_hFile)) != 0)
        m_openFailure = CFileException(CFileException::OsErrorToCause(osError), osError, m_strFileName);

    if (m_openFailure.m_cause == CFileException::none)
        return true;
    m_hFile = -1;
    if (pError)
        *pError = m_openFailure;
    return false;
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

int32_t CFile::CheckedPosition(int64_t position) const
{
    if (position < 0 || position > INT32_MAX)
        ThrowFileException(CFileException::badSeek);
    return static_cast<int32_t>(position);
}

int32_t CFile::Seek(int32_t offset, unsigned from)
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
    const int32_t position = CheckedPosition(base + offset);
    if ((osError = SetOsPosition(m_hFile, position)) != 0)
        ThrowFileException(CFileException::badSeek, osError);
    return position;
}

uint32_t CFile::GetLength() const
{
    ThrowIfClosed();
    int64_t length = 0;
    if (const long osError = OsLength(m_hFile, length))
        ThrowFileException(CFileException::OsErrorToCause(osError), osError);
    if (length > int64_t(UINT32_MAX))
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
