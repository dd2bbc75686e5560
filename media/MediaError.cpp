#include "media/MediaError.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>

// Which record each watched object's lines go to. One lock guards the map and
// every record's line: it is taken for lines at error level, for watching and
// forgetting, and by a call that succeeds after a line came, never otherwise.
struct LogRegistry {
    std::mutex lock;
    std::unordered_map<const void*, FfmpegLog*> records;

    static LogRegistry& Get()
    {
        static LogRegistry* registry = new LogRegistry;   // never destroyed: FFmpeg may log at exit
        return *registry;
    }

    // The record of object, or of the context it logs for (a scaler or
    // resampler inside a filter names its owner as FFmpeg's own log does).
    FfmpegLog* Find(const void* object) const
    {
        const auto found = records.find(object);
        if (found != records.end())
            return found->second;
        const AVClass* avClass = *static_cast<const AVClass* const*>(object);
        if (!avClass || avClass->parent_log_context_offset <= 0)
            return nullptr;
        const void* parent =
            *reinterpret_cast<const void* const*>(static_cast<const uint8_t*>(object) + avClass->parent_log_context_offset);
        const auto owner = parent ? records.find(parent) : records.end();
        return owner == records.end() ? nullptr : owner->second;
    }

    // Called by FFmpeg, from C and from any thread: no exception may leave it.
    // A line that cannot be kept for want of memory is dropped; the failed
    // call's code still tells.
    static void Record(void* object, int level, const char* format, va_list arguments) noexcept
    {
        if (level > AV_LOG_ERROR || !object)
            return;
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        size_t length = std::strlen(text);
        while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '.' || text[length - 1] == ' '))
            --length;
        if (length == 0)
            return;
        try {
            LogRegistry& registry = Get();
            std::lock_guard<std::mutex> guard(registry.lock);
            if (FfmpegLog* record = registry.Find(object)) {
                record->m_line.assign(text, length);
                record->m_holdsLine.store(true, std::memory_order_release);
            }
        } catch (...) {
        }
    }
};

namespace {

// A line of FFmpeg's that opens with its own frame number, counted from 0
// ("frame 3: audio size in header ..."), loses it: the place said before it
// counts from 1.
std::string WithoutOwnFrameNumber(const std::string& line)
{
    const char prefix[] = "frame ";
    if (line.compare(0, sizeof prefix - 1, prefix) != 0)
        return line;
    size_t end = sizeof prefix - 1;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9')
        ++end;
    if (end == sizeof prefix - 1 || line.compare(end, 2, ": ") != 0)
        return line;
    return line.substr(end + 2);
}

} // namespace

std::string EncodingSubject(uint32_t number, Resolution resolution)
{
    return "clip " + std::to_string(number) + (resolution == Resolution::High ? " (high-res.)" : " (low-res.)");
}

void RequireTaken(const AVDictionary* settings, const std::string& subject, const std::string& taker)
{
    if (const AVDictionaryEntry* left = av_dict_get(settings, "", nullptr, AV_DICT_IGNORE_SUFFIX))
        throw CFailure(subject, taker + " does not take the option '" + left->key + "'");
}

FfmpegLog::FfmpegLog(std::string subject) : m_subject(std::move(subject))
{
    // FFmpeg's log goes to the records instead of standard error.
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(LogRegistry::Record); });
}

FfmpegLog::~FfmpegLog()
{
    LogRegistry& registry = LogRegistry::Get();
    std::lock_guard<std::mutex> guard(registry.lock);
    for (const void* object : m_watched) {
        // Only this record's own entries: a freed object's address may be
        // another's by now.
        const auto found = registry.records.find(object);
        if (found != registry.records.end() && found->second == this)
            registry.records.erase(found);
    }
}

void FfmpegLog::Watch(const void* object, const void* privateContext)
{
    LogRegistry& registry = LogRegistry::Get();
    std::lock_guard<std::mutex> guard(registry.lock);
    for (const void* watched : {object, privateContext}) {
        if (!watched)
            continue;
        registry.records[watched] = this;
        if (std::find(m_watched.begin(), m_watched.end(), watched) == m_watched.end())
            m_watched.push_back(watched);
    }
}

void FfmpegLog::KeepFileError(std::exception_ptr error) noexcept
{
    if (!m_fileError)
        m_fileError = std::move(error);
}

void FfmpegLog::ThrowFileError() const
{
    if (m_fileError)
        std::rethrow_exception(m_fileError);
}

void FfmpegLog::ClearLine()
{
    LogRegistry& registry = LogRegistry::Get();
    std::lock_guard<std::mutex> guard(registry.lock);
    m_line.clear();
    m_holdsLine.store(false, std::memory_order_relaxed);
}

void FfmpegLog::Fail(const std::string& what, int code)
{
    ThrowFileError();   // a file error met meanwhile is the real reason
    std::string reason;
    {
        LogRegistry& registry = LogRegistry::Get();
        std::lock_guard<std::mutex> guard(registry.lock);
        reason.swap(m_line);
        m_holdsLine.store(false, std::memory_order_relaxed);
    }
    if (reason.empty()) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(code, text, sizeof text);
        reason = text;
    }
    std::string message = m_place ? m_place() : std::string();
    if (!message.empty())
        reason = WithoutOwnFrameNumber(reason);
    if (!what.empty())
        message += (message.empty() ? "" : ": ") + what;
    throw CFailure(m_subject, message.empty() ? reason : message + ": " + reason);
}
