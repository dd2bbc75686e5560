#pragma once
// FFmpeg's failures in our terms. A library call that fails throws CFailure,
// its subject the clip and encoding ("clip 12 (high-res.)") and its reason the
// library's own words: the last error line logged by the objects the call
// works on (the decoder's "Unknown block type 10"), else the text of its code.
#include "catalogue/ClipTable.h"
#include "file/FileException.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

// "clip 12 (high-res.)", "clip 3 (low-res.)" for a 1-based clip number.
std::string EncodingSubject(uint32_t number, Resolution resolution);

// After an encoder or a muxer was opened with settings: one it did not take,
// left in the dictionary, throws "<taker> does not take the option 'name'".
void RequireTaken(const AVDictionary* settings, const std::string& subject, const std::string& taker);

// The record of some FFmpeg objects: the error lines they log, and a file
// error met by their byte I/O. An object is watched by its address, the one
// FFmpeg hands its log callback: a codec, format or filter context, or a
// private context that logs for one. Lines come from whichever thread logs
// them, an encoder's own threads too; lines of objects nobody watches are
// dropped, and a record keeps only its last line.
//
// When a record is cleared: each call through Call or Poll that succeeds
// clears it, so that a line logged during or before a call that worked is
// never told as the reason of a later failure; a Poll answered "again" or "the
// end" counts as one. A line an encoder's threads log after such a call stays
// for the next call, whose failure it explains.
// A file error is never cleared: the output it hit is broken for good.
class FfmpegLog {
public:
    explicit FfmpegLog(std::string subject);
    // Stops watching its objects, which may be freed just before: nothing is
    // asked of the record by then, and another's object at the same address
    // keeps its own record.
    ~FfmpegLog();
    FfmpegLog(const FfmpegLog&) = delete;
    FfmpegLog& operator=(const FfmpegLog&) = delete;

    const std::string& Subject() const { return m_subject; }
    // Lines logged by object (and by its private context, when given) go to
    // this record from now on. Null pointers are passed over.
    void Watch(const void* object, const void* privateContext = nullptr);
    // Where in the clip the failures of later calls happened, said before
    // their reasons: "frame 17 of 45". Asked only when a call fails. A line
    // that gives FFmpeg's own frame number, counted from 0, is told without it.
    void SetPlace(std::function<std::string()> place) { m_place = std::move(place); }

    // For byte I/O callbacks, which must not throw into FFmpeg: the first file
    // error is kept, and thrown as itself by the call it made fail.
    void KeepFileError(std::exception_ptr error) noexcept;
    void ThrowFileError() const;

    // Calls function(arguments...), an FFmpeg function on watched objects, and
    // returns its result; a negative one throws CFailure naming the subject,
    // the place, what failed ("the libx264 encoder"; may be empty) and the
    // reason, or the kept file error.
    template <typename Function, typename... Arguments>
    int Call(const char* what, Function&& function, Arguments&&... arguments)
    {
        const int result = function(std::forward<Arguments>(arguments)...);
        if (result < 0)
            Fail(what, result);
        Succeeded();
        return result;
    }
    // As Call, with EAGAIN and EOF returned as answers, as the functions that
    // receive frames and packets give them.
    template <typename Function, typename... Arguments>
    int Poll(const char* what, Function&& function, Arguments&&... arguments)
    {
        const int result = function(std::forward<Arguments>(arguments)...);
        if (result < 0 && result != AVERROR(EAGAIN) && result != AVERROR_EOF)
            Fail(what, result);
        Succeeded();
        return result;
    }
    // Throws as Call does for a failed call's negative code.
    [[noreturn]] void Fail(const std::string& what, int code);

private:
    friend struct LogRegistry;
    void Succeeded()
    {
        if (m_holdsLine.load(std::memory_order_acquire))
            ClearLine();
    }
    void ClearLine();

    const std::string m_subject;
    std::function<std::string()> m_place;
    std::vector<const void*> m_watched;
    std::string m_line;                   // guarded by the registry's lock
    std::atomic<bool> m_holdsLine{false};
    std::exception_ptr m_fileError;
};
