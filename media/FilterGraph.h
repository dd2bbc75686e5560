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

    // For a Bink encoding: the pictures of decoder, stamped in timeBase from
    // the start of the file, scaled to fit width x height with their shape on
    // screen kept and black bars around, at 15 a second from that start (the
    // first picture shown until its time), in limited-range 4:2:0 (yuv420p).
    static FilterGraph ForBinkPictures(const AVCodecContext& decoder, AVRational timeBase, int width, int height,
                                       const std::string& subject);
    // The sound of decoder, stamped in samples from the start of the file, as
    // 16-bit interleaved samples at rate, in 1 or 2 channels (more are mixed
    // down): silence before it starts and in its gaps, overlaps cut.
    static FilterGraph ForBinkSound(const AVCodecContext& decoder, int rate, int channels, const std::string& subject);

    FilterGraph(FilterGraph&&) = default;

    // Gives the graph frame (a reference to it: frame is left as it was), or
    // its end for null. False when it takes no more: it has all it passes on.
    bool Send(AVFrame* frame);
    // Gives the graph its end at pts, the end of the last frame: a filter
    // that makes frames on a clock (fps) makes them up to there.
    void End(int64_t pts);
    // The next frame out: 0, or AVERROR(EAGAIN) when it wants more, or
    // AVERROR_EOF after the last.
    int Receive(AVFrame* frame);
    FfmpegLog& Log() { return *m_log; }

private:
    FilterGraph(const std::string& subject, const char* what);
    static std::string SoundSource(const AVCodecContext& decoder, const std::string& subject);
    void Build(const char* source, const std::string& arguments, const std::string& chain, const char* sink);

    const char* m_what;   // "its sound cannot be resampled"
    const FilterLibrary* m_filters;
    std::unique_ptr<FfmpegLog> m_log;
    GraphPtr m_graph;
    AVFilterContext* m_source = nullptr;
    AVFilterContext* m_sink = nullptr;
};
