#pragma once
// The system's own words for an error code, fetched independently of the file class.
#include <cstring>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

inline std::string SystemReason(long osError)
{
#ifdef _WIN32
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(osError), 0, text, sizeof text, nullptr);
    std::string reason(text, length);
#else
    std::string reason = std::strerror(static_cast<int>(osError));
#endif
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    if (!reason.empty() && reason.back() != '.')
        reason += '.';
    return reason;
}
