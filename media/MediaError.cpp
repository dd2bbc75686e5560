#include "MediaError.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <cstdio>
#include <mutex>

namespace {

thread_local std::string t_lastError;

void RecordLog(void*, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_ERROR)
        return;
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '.' || line.back() == ' '))
        line.pop_back();
    if (!line.empty())
        t_lastError = line;
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
