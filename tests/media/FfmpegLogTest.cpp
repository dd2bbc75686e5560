// FFmpeg's failures told with what the object of the failed call logged:
// objects of the test's own (FFmpeg's log needs no more than an AVClass),
// one of them logging from another thread, as an encoder's threads do.
#include "CatchFileException.h"
#include "media/MediaError.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}

#include <functional>
#include <thread>

namespace {

struct Logger {
    const AVClass* avClass;
};

const AVClass* LoggerClass()
{
    static const AVClass avClass = [] {
        AVClass made{};
        made.class_name = "logger";
        made.item_name = av_default_item_name;
        made.version = LIBAVUTIL_VERSION_INT;
        return made;
    }();
    return &avClass;
}

// Two objects, each watched by its own record, and one nobody watches.
struct Objects {
    Logger decoder{LoggerClass()}, muxer{LoggerClass()}, stray{LoggerClass()};
    FfmpegLog decoderLog{"clip 3 (high-res.)"}, muxerLog{"clip 4 (low-res.)"};
    Objects()
    {
        decoderLog.Watch(&decoder);
        decoderLog.SetPlace([] { return std::string("frame 6 of 60"); });
        muxerLog.Watch(&muxer);
    }
};

void Log(Logger& object, const char* line, int level = AV_LOG_ERROR)
{
    av_log(&object, level, "%s", line);
}

TEST(FfmpegLog, AFailureIsToldWithTheLastLineOfItsOwnObject)
{
    const struct {
        const char* name;
        std::function<void(Objects&)> before;   // before the call that fails
        bool muxerFails;                         // else the decoder's call
        const char* logged;                      // by the failing object during its call
        int code;
        std::string message;
    } cases[] = {
        {"its own line, its full stop and new line left out", nullptr, false, "Unknown block type 10.\n",
         AVERROR_INVALIDDATA, "clip 3 (high-res.): frame 6 of 60: Unknown block type 10"},
        {"the last of its lines", [](Objects& o) { Log(o.decoder, "Invalid block type 9"); }, false,
         "Unknown block type 10", AVERROR_INVALIDDATA, "clip 3 (high-res.): frame 6 of 60: Unknown block type 10"},
        {"no line: the code's words", nullptr, false, nullptr, AVERROR_INVALIDDATA,
         "clip 3 (high-res.): frame 6 of 60: Invalid data found when processing input"},
        {"another object's line is not its reason", [](Objects& o) { Log(o.muxer, "muxer trouble"); }, false,
         nullptr, AVERROR_EXTERNAL, "clip 3 (high-res.): frame 6 of 60: Generic error in an external library"},
        {"a line from another thread reaches its object",
         [](Objects& o) { std::thread([&o] { Log(o.muxer, "from an encoder's thread"); }).join(); }, true,
         nullptr, AVERROR(EINVAL), "clip 4 (low-res.): the mp4 muxer: from an encoder's thread"},
        {"a line logged during a call that succeeded is not a later reason",
         [](Objects& o) { o.decoderLog.Call("", [&o] { Log(o.decoder, "Invalid block type 9"); return 0; }); },
         false, nullptr, AVERROR(EINVAL), "clip 3 (high-res.): frame 6 of 60: Invalid argument"},
        {"nor one before a call that succeeded",
         [](Objects& o) { Log(o.muxer, "from an encoder's thread"); o.muxerLog.Poll("", [] { return AVERROR_EOF; }); },
         true, nullptr, AVERROR(EINVAL), "clip 4 (low-res.): the mp4 muxer: Invalid argument"},
        {"a warning is no reason", nullptr, false, nullptr, AVERROR_UNKNOWN,
         "clip 3 (high-res.): frame 6 of 60: Unknown error occurred"},
        {"an object nobody watches is heard by none", [](Objects& o) { Log(o.stray, "stray line"); }, true,
         nullptr, AVERROR(EINVAL), "clip 4 (low-res.): the mp4 muxer: Invalid argument"},
    };
    for (const auto& c : cases) {
        Objects objects;
        if (c.before)
            c.before(objects);
        Logger& object = c.muxerFails ? objects.muxer : objects.decoder;
        FfmpegLog& log = c.muxerFails ? objects.muxerLog : objects.decoderLog;
        const CFailure failure = CatchException<CFailure>(
            [&] {
                log.Call(c.muxerFails ? "the mp4 muxer" : "", [&] {
                    if (c.logged)
                        Log(object, c.logged);
                    Log(object, "only a warning", AV_LOG_WARNING);
                    return c.code;
                });
            },
            CFailure("", ""));
        EXPECT_EQ(failure.GetErrorMessage(), c.message) << c.name;
    }
}

// A file error met by the byte I/O of a call's objects is the real reason of
// its failure, whatever they logged, and is thrown as itself.
TEST(FfmpegLog, AFileErrorIsThrownAsItself)
{
    Objects objects;
    objects.muxerLog.KeepFileError(std::make_exception_ptr(CFileException(CFileException::diskFull, 0, "out.mp4")));
    const CFileException error = CatchFileException([&] {
        objects.muxerLog.Call("the mp4 muxer", [&] {
            Log(objects.muxer, "Error writing trailer");
            return AVERROR(EIO);
        });
    });
    EXPECT_EQ(error.m_cause, CFileException::diskFull);
    EXPECT_EQ(error.m_strFileName, "out.mp4");
}

} // namespace
