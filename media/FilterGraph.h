#pragma once
// A chain of FFmpeg's filters between a buffer source and a buffer sink, as
// FFmpeg's transcoding example builds one: decoded frames go in, frames as
// the encoder takes them come out. The graph and its filters log to one
// record, so that a failure is told with what they said.
#include "media/FfmpegPtr.h"
#include "media/FilterLibrary.h"
#include "media/MediaError.h"

#include <cstdint>
#include <string>

class FilterGraph {
public:
    // The pictures of decoder in 4:2:0 (yuv420p), the encoders' pixels: a
    // decoder that gives them already passes its pictures on untouched.
    static FilterGraph ForPictures(const AVCodecContext& decoder, const std::string& subject);
    // The sound of decoder as encoder takes it (its sample format, rate and
    // channels), exactly samples long at the encoder's rate: padded with
    // silence or cut, and in frames of the encoder's size unless it takes any.
    static FilterGraph ForSound(const AVCodecContext& decoder, const AVCodecContext& encoder, int64_t samples,
                                const std::string& subject);

    FilterGraph(FilterGraph&&) = default;

    // Gives the graph frame (a reference to it: frame is left as it was), or
    // its end for null. False when it takes no more: it has all it passes on.
    bool Send(AVFrame* frame);
    // The next frame out: 0, or AVERROR(EAGAIN) when it wants more, or
    // AVERROR_EOF after the last.
    int Receive(AVFrame* frame);
    FfmpegLog& Log() { return *m_log; }

private:
    FilterGraph(const std::string& subject, const char* what);
    void Build(const char* source, const std::string& arguments, const std::string& chain, const char* sink);

    const char* m_what;   // "its sound cannot be resampled"
    const FilterLibrary* m_filters;
    std::unique_ptr<FfmpegLog> m_log;
    GraphPtr m_graph;
    AVFilterContext* m_source = nullptr;
    AVFilterContext* m_sink = nullptr;
};
