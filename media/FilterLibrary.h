#pragma once
// libavfilter, loaded when the first filter graph is made rather than when
// the decoding program starts: the thirty-odd libraries it brings cost some
// 11 MB and 30 ms a start, which verify --frames and index, which filter
// nothing, would pay for nothing. Its functions are called by their own
// names, through the library: filters.avfilter_graph_alloc().
#include <memory>
#include <string>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

struct FilterLibrary {
    decltype(&::avfilter_graph_alloc) avfilter_graph_alloc;
    decltype(&::avfilter_graph_free) avfilter_graph_free;
    decltype(&::avfilter_get_by_name) avfilter_get_by_name;
    decltype(&::avfilter_graph_create_filter) avfilter_graph_create_filter;
    decltype(&::avfilter_inout_alloc) avfilter_inout_alloc;
    decltype(&::avfilter_inout_free) avfilter_inout_free;
    decltype(&::avfilter_graph_parse_ptr) avfilter_graph_parse_ptr;
    decltype(&::avfilter_graph_config) avfilter_graph_config;
    decltype(&::av_buffersrc_add_frame_flags) av_buffersrc_add_frame_flags;
    decltype(&::av_buffersrc_close) av_buffersrc_close;
    decltype(&::av_buffersink_get_frame) av_buffersink_get_frame;
    decltype(&::av_buffersink_set_frame_size) av_buffersink_set_frame_size;
};

// The library, loaded on the first call (the one this program was built
// against: its major version); throws CFailure naming subject when it cannot
// be, with the system's reason.
const FilterLibrary& Filters(const std::string& subject);

struct GraphFree {
    void operator()(AVFilterGraph* graph) const;
};
using GraphPtr = std::unique_ptr<AVFilterGraph, GraphFree>;
