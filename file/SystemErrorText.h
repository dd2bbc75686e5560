#pragma once
// Implemented by the platform's file backend (strerror on POSIX, FormatMessageA
// on Windows), so that no platform header leaks into the portable files.
#include <string>

// The system's own words for an error code, without trailing line breaks;
// empty when the system has none.
std::string SystemErrorText(long osError);
