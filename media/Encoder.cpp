#include "media/Encoder.h"

#include "media/Muxer.h"

Encoder::Encoder(const char* name, Muxer& muxer, const std::string& subject, std::string what)
    : m_name(name), m_what(std::move(what)), m_muxer(muxer), m_log(subject), m_packet(av_packet_alloc())
{
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec)
        throw CFailure(subject, std::string("this FFmpeg has no ") + name + " encoder");
    m_context.reset(avcodec_alloc_context3(codec));
    if (!m_context || !m_packet)
        throw CMemoryException("Not enough memory to convert " + subject + ".");
    m_log.Watch(m_context.get(), m_context->priv_data);
    if (muxer.Context()->oformat->flags & AVFMT_GLOBALHEADER)
        m_context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
}

void Encoder::Open(Dictionary& settings)
{
    const std::string what = "the " + m_name + " encoder cannot start";
    m_log.Call(what.c_str(), avcodec_open2, m_context.get(), m_context->codec, settings.Address());
    RequireTaken(settings.Get(), m_log.Subject(), "the " + m_name + " encoder");
    m_stream = m_muxer.AddStream(*m_context, m_name);
}

void Encoder::Send(const AVFrame* frame)
{
    if (frame)
        m_log.Call(m_what.c_str(), avcodec_send_frame, m_context.get(), frame);
    else
        m_log.Poll(m_what.c_str(), avcodec_send_frame, m_context.get(), nullptr);   // EOF: ended already
    while (m_log.Poll(m_what.c_str(), avcodec_receive_packet, m_context.get(), m_packet.get()) >= 0) {
        av_packet_rescale_ts(m_packet.get(), m_context->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        m_muxer.Write(m_packet.get());
    }
}
