#include "media/FilterGraph.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
}

namespace {

// The ends of a chain as avfilter_graph_parse_ptr takes them, freed whatever it leaves.
struct ChainEnds {
    const FilterLibrary& filters;
    AVFilterInOut* inputs = filters.avfilter_inout_alloc();
    AVFilterInOut* outputs = filters.avfilter_inout_alloc();
    ~ChainEnds()
    {
        filters.avfilter_inout_free(&inputs);
        filters.avfilter_inout_free(&outputs);
    }
    bool Set(AVFilterContext* source, AVFilterContext* sink)
    {
        if (!inputs || !outputs)
            return false;
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink;
        return outputs->name && inputs->name;
    }
};

std::string FormatName(AVSampleFormat format)
{
    const char* name = av_get_sample_fmt_name(format);
    return name ? name : "none";   // refused by the filter, which says so
}

std::string LayoutName(const AVChannelLayout& layout)
{
    char name[64] = {};
    av_channel_layout_describe(&layout, name, sizeof name);
    return name;
}

} // namespace

FilterGraph::FilterGraph(const std::string& subject, const char* what)
    : m_what(what), m_filters(&Filters(subject)), m_log(std::make_unique<FfmpegLog>(subject)),
      m_graph(m_filters->avfilter_graph_alloc())
{
    if (!m_graph)
        throw CMemoryException("Not enough memory to convert " + subject + ".");
    // One thread: the clips of a run are converted in parallel already, and
    // these filters have nothing to share out between threads.
    m_graph->nb_threads = 1;
    m_log->Watch(m_graph.get());
}

FilterGraph FilterGraph::ForPictures(const AVCodecContext& decoder, const std::string& subject)
{
    FilterGraph graph(subject, "its pictures cannot be converted to 4:2:0");
    graph.m_graph->scale_sws_opts = av_strdup("flags=bicubic");
    const AVRational aspect = decoder.sample_aspect_ratio.den ? decoder.sample_aspect_ratio : AVRational{0, 1};
    const std::string source = "video_size=" + std::to_string(decoder.width) + "x" + std::to_string(decoder.height) +
                               ":pix_fmt=" + std::to_string(decoder.pix_fmt) + ":time_base=1/" +
                               std::to_string(CLIP_FRAME_RATE) + ":pixel_aspect=" + std::to_string(aspect.num) + "/" +
                               std::to_string(aspect.den);
    graph.Build("buffer", source, "format=pix_fmts=yuv420p", "buffersink");
    return graph;
}

FilterGraph FilterGraph::ForSound(const AVCodecContext& decoder, const AVCodecContext& encoder, int64_t samples,
                                  const std::string& subject)
{
    FilterGraph graph(subject, "its sound cannot be resampled");
    const std::string source = SoundSource(decoder, subject);
    // Resampled first, so that the length is counted at the encoder's rate.
    // apad stops at whole_len, and would run on for ever without it: none
    // for a length of 0.
    const std::string length = std::to_string(samples);
    const std::string chain = "aresample," + (samples > 0 ? "apad=whole_len=" + length + "," : std::string()) +
                              "atrim=end_sample=" + length +
                              ",aformat=sample_fmts=" + FormatName(encoder.sample_fmt) +
                              ":sample_rates=" + std::to_string(encoder.sample_rate) +
                              ":channel_layouts=" + LayoutName(encoder.ch_layout);
    graph.Build("abuffer", source, chain, "abuffersink");
    // An encoder that takes frames of one size gets them so; a small last
    // frame is padded by FFmpeg for one that cannot take it.
    if (!(encoder.codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) && encoder.frame_size > 0)
        graph.m_filters->av_buffersink_set_frame_size(graph.m_sink, static_cast<unsigned>(encoder.frame_size));
    return graph;
}

std::string FilterGraph::SoundSource(const AVCodecContext& decoder, const std::string& subject)
{
    AVChannelLayout layout{};
    if (decoder.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || decoder.ch_layout.nb_channels == 0)
        av_channel_layout_default(&layout, std::max(1, decoder.ch_layout.nb_channels));
    else if (av_channel_layout_copy(&layout, &decoder.ch_layout) < 0)
        throw CMemoryException("Not enough memory to convert " + subject + ".");
    const std::string source = "time_base=1/" + std::to_string(decoder.sample_rate) +
                               ":sample_rate=" + std::to_string(decoder.sample_rate) +
                               ":sample_fmt=" + FormatName(decoder.sample_fmt) +
                               ":channel_layout=" + LayoutName(layout);
    av_channel_layout_uninit(&layout);
    return source;
}

FilterGraph FilterGraph::ForBinkPictures(const AVCodecContext& decoder, AVRational timeBase, int width, int height,
                                         const std::string& subject)
{
    FilterGraph graph(subject, "its pictures cannot be scaled");
    const AVRational aspect = decoder.sample_aspect_ratio.num > 0 && decoder.sample_aspect_ratio.den > 0
                                  ? decoder.sample_aspect_ratio
                                  : AVRational{1, 1};
    // The picture's shape as it is shown, its pixels' own shape counted.
    const double shape = double(decoder.width) * av_q2d(aspect) / std::max(1, decoder.height);
    int scaledWidth = width, scaledHeight = static_cast<int>(std::lround(width / shape));
    if (scaledHeight > height) {
        scaledHeight = height;
        scaledWidth = static_cast<int>(std::lround(height * shape));
    }
    scaledWidth = std::clamp(scaledWidth, 1, width);
    scaledHeight = std::clamp(scaledHeight, 1, height);
    const std::string source = "video_size=" + std::to_string(decoder.width) + "x" + std::to_string(decoder.height) +
                               ":pix_fmt=" + std::to_string(decoder.pix_fmt) + ":time_base=" +
                               std::to_string(timeBase.num) + "/" + std::to_string(timeBase.den) +
                               ":pixel_aspect=" + std::to_string(aspect.num) + "/" + std::to_string(aspect.den);
    const std::string chain = "scale=" + std::to_string(scaledWidth) + ":" + std::to_string(scaledHeight) +
                              ":flags=bicubic:out_color_matrix=bt601:out_range=tv,format=pix_fmts=yuv420p,pad=" +
                              std::to_string(width) + ":" + std::to_string(height) + ":" +
                              std::to_string((width - scaledWidth) / 2) + ":" +
                              std::to_string((height - scaledHeight) / 2) + ":black,setsar=1,fps=" +
                              std::to_string(CLIP_FRAME_RATE) + ":start_time=0";
    graph.Build("buffer", source, chain, "buffersink");
    return graph;
}

FilterGraph FilterGraph::ForBinkSound(const AVCodecContext& decoder, int rate, int channels,
                                      const std::string& subject)
{
    FilterGraph graph(subject, "its sound cannot be resampled");
    const std::string chain = "aresample=" + std::to_string(rate) + ":async=1:first_pts=0,aformat=sample_fmts=s16:sample_rates=" +
                              std::to_string(rate) + ":channel_layouts=" + (channels == 1 ? "mono" : "stereo");
    graph.Build("abuffer", SoundSource(decoder, subject), chain, "abuffersink");
    return graph;
}

void FilterGraph::Build(const char* source, const std::string& arguments, const std::string& chain, const char* sink)
{
    const FilterLibrary& filters = *m_filters;
    AVFilterGraph* graph = m_graph.get();
    m_log->Call(m_what, filters.avfilter_graph_create_filter, &m_source, filters.avfilter_get_by_name(source), "in",
                arguments.c_str(), nullptr, graph);
    m_log->Call(m_what, filters.avfilter_graph_create_filter, &m_sink, filters.avfilter_get_by_name(sink), "out",
                nullptr, nullptr, graph);
    ChainEnds ends{filters};
    if (!ends.Set(m_source, m_sink))
        throw CMemoryException("Not enough memory to convert " + m_log->Subject() + ".");
    m_log->Call(m_what, filters.avfilter_graph_parse_ptr, graph, chain.c_str(), &ends.inputs, &ends.outputs, nullptr);
    // Watched after they are made: the filters the chain names, and those
    // the configuration puts in (a scaler where the pixels differ).
    for (unsigned i = 0; i < graph->nb_filters; ++i)
        m_log->Watch(graph->filters[i], graph->filters[i]->priv);
    m_log->Call(m_what, filters.avfilter_graph_config, graph, nullptr);
    for (unsigned i = 0; i < graph->nb_filters; ++i)
        m_log->Watch(graph->filters[i], graph->filters[i]->priv);
}

bool FilterGraph::Send(AVFrame* frame)
{
    return m_log->Poll(m_what, m_filters->av_buffersrc_add_frame_flags, m_source, frame,
                       AV_BUFFERSRC_FLAG_KEEP_REF) != AVERROR_EOF;
}

void FilterGraph::End(int64_t pts)
{
    m_log->Call(m_what, m_filters->av_buffersrc_close, m_source, pts, AV_BUFFERSRC_FLAG_PUSH);
}

int FilterGraph::Receive(AVFrame* frame)
{
    return m_log->Poll(m_what, m_filters->av_buffersink_get_frame, m_sink, frame);
}
