#pragma once
// FFmpeg's objects owned as std::unique_ptr, each freed by the library's own
// function, so that every path out of media/, thrown or returned, frees them.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

struct FfmpegFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
    // Its buffer too: the context's own, which FFmpeg may have replaced.
    void operator()(AVIOContext* io) const
    {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

// A demuxer is closed (avformat_close_input), a muxer freed; neither closes
// its byte I/O, which is ours (FileIo).
struct DemuxerFree {
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};
struct MuxerFree {
    void operator()(AVFormatContext* format) const { avformat_free_context(format); }
};

using FramePtr = std::unique_ptr<AVFrame, FfmpegFree>;
using PacketPtr = std::unique_ptr<AVPacket, FfmpegFree>;
using CodecPtr = std::unique_ptr<AVCodecContext, FfmpegFree>;
using ScalerPtr = std::unique_ptr<SwsContext, FfmpegFree>;
using IoPtr = std::unique_ptr<AVIOContext, FfmpegFree>;
using DemuxerPtr = std::unique_ptr<AVFormatContext, DemuxerFree>;
using MuxerPtr = std::unique_ptr<AVFormatContext, MuxerFree>;

// A dictionary that FFmpeg fills or empties through its address.
class Dictionary {
public:
    Dictionary() = default;
    ~Dictionary() { av_dict_free(&m_entries); }
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;
    AVDictionary** Address() { return &m_entries; }
    AVDictionary* Get() const { return m_entries; }

private:
    AVDictionary* m_entries = nullptr;
};
