// The platform-free part of CFile; the system calls are in FilePosix.cpp and FileWin32.cpp.
#include "File.h"

CFile::CFile() : m_hFile(-1) {}

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
