#include "file/FileException.h"

#include "file/SystemError.h"

#include <utility>

namespace {

const char* CauseText(int cause)
{
    switch (cause) {
    case CFileException::none: return "No error occurred";
    case CFileException::fileNotFound: return "The file was not found";
    case CFileException::badPath: return "All or part of the path is invalid";
    case CFileException::tooManyOpenFiles: return "Too many files are open";
    case CFileException::accessDenied: return "Access to the file was denied";
    case CFileException::invalidFile: return "The file is not open";
    case CFileException::removeCurrentDir: return "The current folder cannot be removed";
    case CFileException::directoryFull: return "The folder is full";
    case CFileException::badSeek: return "The file position is out of range";
    case CFileException::hardIO: return "A hardware error occurred";
    case CFileException::sharingViolation: return "The file is in use by another program";
    case CFileException::lockViolation: return "Part of the file is locked";
    case CFileException::diskFull: return "The disk is full";
    case CFileException::endOfFile: return "The file ends before the data it should hold";
    case CFileException::tooLarge: return "The file is 4 GiB or larger";
    case CFileException::notRegularFile: return "Not a regular file";
    default: return "An unknown file error occurred";
    }
}

} // namespace

const char* CException::what() const noexcept
{
    try {
        m_strWhat = GetErrorMessage();
        return m_strWhat.c_str();
    } catch (...) {
        return "Error.";
    }
}

CFileException::CFileException(int cause, long osError, std::string fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName))
{
}

std::string CFileException::GetPlainReason() const
{
    std::string reason;
    if (m_lOsError != 0)
        reason = SystemErrorText(m_lOsError);
    if (reason.empty())
        reason = CauseText(m_cause);
    // Windows' texts end in a full stop, strerror's do not: make them read alike.
    if (!reason.empty() && reason.back() == '.')
        reason.pop_back();
    return reason;
}

std::string CFileException::GetReason() const
{
    return GetPlainReason() + '.';
}

std::string CFileException::GetErrorMessage() const
{
    if (m_strFileName.empty())
        return GetReason();
    return m_strFileName + ": " + GetReason();
}

CFailure::CFailure(std::string subject, std::string reason)
    : m_subject(std::move(subject)), m_reason(std::move(reason))
{
}

std::string CFailure::GetErrorMessage() const
{
    return m_subject.empty() ? m_reason : m_subject + ": " + m_reason;
}

CMemoryException::CMemoryException(std::string what) : m_strMessage(std::move(what)) {}

std::string CMemoryException::GetErrorMessage() const
{
    return m_strMessage;
}

void ThrowSystemError(long osError, const std::string& fileName)
{
    throw CFileException(CFileException::OsErrorToCause(osError), osError, fileName);
}

void ThrowLastSystemError(const std::string& fileName)
{
    ThrowSystemError(LastSystemError(), fileName);
}
