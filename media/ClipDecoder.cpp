#include "media/ClipDecoder.h"

#include "media/MediaError.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

ClipDecoder::ClipDecoder(ClipInput& input) : m_input(input)
{
    AVFormatContext* format = input.Format();
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVMediaType type = format->streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && m_videoStream < 0)
            m_videoStream = static_cast<int>(i);
        else if (type == AVMEDIA_TYPE_AUDIO && m_audioStream < 0)
            m_audioStream = static_cast<int>(i);
    }
    if (m_videoStream < 0)
        throw CFailure(input.Subject(), "holds no video stream");
    // The demuxer gives the header's frame count as the stream's duration in frames.
    const AVStream* video = format->streams[m_videoStream];
    m_frameCount = static_cast<uint32_t>(video->nb_frames > 0 ? video->nb_frames : std::max<int64_t>(video->duration, 0));
    m_packet = av_packet_alloc();
    m_picture = av_frame_alloc();
    m_sound = av_frame_alloc();
    try {
        if (!m_packet || !m_picture || !m_sound)
            throw CMemoryException("Not enough memory to decode " + input.Subject() + ".");
        m_video = OpenDecoder(m_videoStream);
        if (m_audioStream >= 0)
            m_audio = OpenDecoder(m_audioStream);
    } catch (...) {
        Release();
        throw;
    }
}

ClipDecoder::~ClipDecoder()
{
    Release();
}

AVRational ClipDecoder::FrameRate() const
{
    return {static_cast<int>(CLIP_FRAME_RATE), 1};
}

void ClipDecoder::RequireEveryFrame() const
{
    if (m_framesDecoded < m_frameCount) {
        throw CFailure(m_input.Subject(), "decodes " + std::to_string(m_framesDecoded) + " of " +
                                              std::to_string(m_frameCount) + " frames");
    }
}

void ClipDecoder::Release()
{
    avcodec_free_context(&m_video);
    avcodec_free_context(&m_audio);
    av_packet_free(&m_packet);
    av_frame_free(&m_picture);
    av_frame_free(&m_sound);
}

AVCodecContext* ClipDecoder::OpenDecoder(int stream)
{
    const AVCodecParameters* parameters = m_input.Format()->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec)
        throw CFailure(m_input.Subject(), std::string("no decoder for ") + avcodec_get_name(parameters->codec_id));
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context)
        throw CMemoryException("Not enough memory to decode " + m_input.Subject() + ".");
    // A damaged frame is an error, not a picture patched up in silence; the
    // clips of a run are decoded in parallel, each on one thread.
    context->err_recognition |= AV_EF_EXPLODE;
    context->thread_count = 1;
    ForgetFfmpegLog();
    int result = avcodec_parameters_to_context(context, parameters);
    if (result >= 0)
        result = avcodec_open2(context, codec, nullptr);
    if (result < 0) {
        avcodec_free_context(&context);
        ThrowFfmpegError(m_input.Subject(), std::string("its ") + avcodec_get_name(parameters->codec_id) +
                                                " decoder cannot start", result);
    }
    return context;
}

void ClipDecoder::FailAt(const std::string& what, int code) const
{
    m_input.ThrowReadFailure();
    const std::string frame = "frame " + std::to_string(m_framesRead) + " of " + std::to_string(m_frameCount);
    ThrowFfmpegError(m_input.Subject(), what.empty() ? frame : frame + ": " + what, code);
}

void ClipDecoder::SendAudio()
{
    ForgetFfmpegLog();
    int result = avcodec_send_packet(m_audio, m_packet);
    while (result >= 0) {
        result = avcodec_receive_frame(m_audio, m_sound);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        if (result >= 0 && onAudio)
            onAudio(*m_sound);
    }
    FailAt("its sound", result);
}

const AVFrame* ClipDecoder::NextVideoFrame()
{
    while (!m_ended) {
        ForgetFfmpegLog();
        int result = avcodec_receive_frame(m_video, m_picture);
        if (result >= 0) {
            ++m_framesDecoded;
            return m_picture;
        }
        if (result != AVERROR(EAGAIN))
            FailAt("", result);
        ForgetFfmpegLog();
        result = av_read_frame(m_input.Format(), m_packet);
        if (result == AVERROR_EOF) {
            m_ended = true;
            avcodec_send_packet(m_video, nullptr);   // drain: the Bink decoder holds nothing back
            break;
        }
        if (result < 0) {
            ++m_framesRead;
            FailAt("", result);
        }
        if (m_packet->stream_index == m_audioStream && m_audio) {
            SendAudio();
        } else if (m_packet->stream_index == m_videoStream) {
            ++m_framesRead;
            ForgetFfmpegLog();
            result = avcodec_send_packet(m_video, m_packet);
            if (result < 0 && result != AVERROR(EAGAIN)) {
                av_packet_unref(m_packet);
                FailAt("", result);
            }
        }
        av_packet_unref(m_packet);
    }
    while (true) {
        ForgetFfmpegLog();
        const int result = avcodec_receive_frame(m_video, m_picture);
        if (result >= 0) {
            ++m_framesDecoded;
            return m_picture;
        }
        if (result == AVERROR_EOF || result == AVERROR(EAGAIN))
            return nullptr;
        FailAt("", result);
    }
}
