#include "media/OutputFormats.h"

const std::vector<OutputFormat>& OutputFormats()
{
    static const std::vector<OutputFormat> formats = {
        {"mp4", ".mp4", "MP4", "video/mp4", "H.264 and AAC", "mp4", "libx264", "aac", 51, 20, "x264",
         {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium", "slow", "slower", "veryslow", "placebo"},
         "medium", {}, 64000, {{"movflags", "+faststart"}},
         {{"movflags", "frag_keyframe+empty_moov+default_base_moof+negative_cts_offsets"}}},
        // libvpx-vp9 in constant-quality mode: its good deadline at speed 2,
        // rows of a frame encoded in parallel.
        {"webm", ".webm", "WebM", "video/webm", "VP9 and Opus", "webm", "libvpx-vp9", "libopus", 63, 32, nullptr, {},
         nullptr, {{"deadline", "good"}, {"cpu-used", "2"}, {"row-mt", "1"}}, 48000, {}, {}},
    };
    return formats;
}

const OutputFormat& DefaultOutputFormat()
{
    return OutputFormats().front();
}

const OutputFormat* FindOutputFormat(const std::string& name)
{
    for (const OutputFormat& format : OutputFormats())
        if (name == format.name)
            return &format;
    return nullptr;
}
