#pragma once
// The system's errors (errno on POSIX, GetLastError on Windows) in the words of
// the platform and as the file class's exception. Implemented by each back end,
// so that no platform header leaks into the portable files.
#include <string>

// The system's own words for an error code, without trailing line breaks;
// empty when the system has none.
std::string SystemErrorText(long osError);

// Whether a failed write's code says that the reading end of its pipe was
// closed: EPIPE (when SIGPIPE is ignored; otherwise the signal ends the
// program), ERROR_NO_DATA or ERROR_BROKEN_PIPE on Windows, which has no signal.
bool IsReaderGone(long osError);

// The error code the last failed system call left (errno, GetLastError()).
long LastSystemError() noexcept;

// The one way a failed system call becomes our exception: the cause that fits
// the code, the code itself and the file the call was about.
[[noreturn]] void ThrowSystemError(long osError, const std::string& fileName);
[[noreturn]] void ThrowLastSystemError(const std::string& fileName);
