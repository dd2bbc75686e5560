#pragma once
// Errors of the file class. A failed seek, read or write, a short write, and any
// operation on a file that is not open throw CFileException; it carries what went
// wrong, the system's own error code and the file's name, so that whoever reports
// it can name the file and the reason.
#include <cstdint>
#include <exception>
#include <string>

class CException : public std::exception {
public:
    // The text shown to the user, e.g. "D:\Movies\disc2.pak: Access is denied."
    // (the file name, then the reason; only the reason when there is no name).
    virtual std::string GetErrorMessage() const = 0;
    const char* what() const noexcept override;

protected:
    mutable std::string m_strWhat;
};

class CFileException : public CException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,      // the file object is not open
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,        // the file ended before the bytes asked for
        tooLarge,         // the length does not fit the class's 32-bit lengths
        notRegularFile,   // a folder, pipe, FIFO or device where a regular file must be
    };

    CFileException(int cause = none, long osError = 0, std::string fileName = std::string());

    // The reason in words, one sentence ending in a full stop: the system's text
    // for m_lOsError when there is one, otherwise a text for m_cause.
    std::string GetReason() const;
    // The same words without the full stop, as a command-line tool puts them
    // after the file's name ("No such file or directory").
    std::string GetPlainReason() const;
    std::string GetErrorMessage() const override;

    // The system's error code (errno on POSIX, GetLastError on Windows) to a cause;
    // each backend knows only its own platform's codes.
    static int OsErrorToCause(long osError);

    int m_cause;
    long m_lOsError;
    std::string m_strFileName;
};

// A failure the program finds itself, with no error of the system's: what it
// concerns and why ("out.bik", "already exists (--force overwrites it)").
class CFailure : public CException {
public:
    CFailure(std::string subject, std::string reason);
    std::string GetErrorMessage() const override;   // "SUBJECT: reason", or the reason alone
    const std::string& Subject() const { return m_subject; }
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_subject;
    std::string m_reason;
};

// No memory for a buffer the operation cannot do without.
class CMemoryException : public CException {
public:
    explicit CMemoryException(std::string what = "Not enough memory.");
    std::string GetErrorMessage() const override;

private:
    std::string m_strMessage;
};
