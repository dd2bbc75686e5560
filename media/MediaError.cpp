#include "media/MediaError.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

thread_local std::string t_lastError;

// Called by FFmpeg, from C: no exception may leave it. A line that cannot be
// kept for want of memory is dropped; the failed call's code still tells.
void RecordLog(void*, int level, const char* format, va_list arguments) noexcept
{
    if (level > AV_LOG_ERROR)
        return;
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    size_t length = std::strlen(text);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '.' || text[length - 1] == ' '))
        --length;
    if (length == 0)
        return;
    try {
        t_lastError.assign(text, length);
    } catch (...) {
        t_lastError.clear();
    }
}

} // namespace

std::string EncodingSubject(uint32_t number, Resolution resolution)
{
    return "clip " + std::to_string(number) + (resolution == Resolution::High ? " (high-res.)" : " (low-res.)");
}

void QuietenFfmpeg()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(RecordLog); });
}

void ForgetFfmpegLog()
{
    t_lastError.clear();
}

std::string FfmpegReason(int code)
{
    if (!t_lastError.empty())
        return t_lastError;
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void ThrowFfmpegError(const std::string& subject, const std::string& what, int code)
{
    throw CFailure(subject, what.empty() ? FfmpegReason(code) : what + ": " + FfmpegReason(code));
}
