#include "media/ClipDecoder.h"

#include <algorithm>

ClipDecoder::ClipDecoder(ClipInput& input)
    : m_input(input), m_videoLog(input.Subject()), m_audioLog(input.Subject()), m_packet(av_packet_alloc()),
      m_picture(av_frame_alloc()), m_sound(av_frame_alloc())
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
    if (!m_packet || !m_picture || !m_sound)
        throw CMemoryException("Not enough memory to decode " + input.Subject() + ".");
    m_video = OpenDecoder(m_videoStream, m_videoLog);
    if (m_audioStream >= 0)
        m_audio = OpenDecoder(m_audioStream, m_audioLog);

    // From here on a failure is told with the frame it met: the one being
    // read, or the last one read for a decoder.
    const auto read = [this] {
        return "frame " + std::to_string(m_framesRead) + " of " + std::to_string(m_frameCount);
    };
    m_videoLog.SetPlace(read);
    m_audioLog.SetPlace(read);
    m_input.Log().SetPlace(
        [this] { return "frame " + std::to_string(m_framesRead + 1) + " of " + std::to_string(m_frameCount); });
}

ClipDecoder::~ClipDecoder()
{
    m_input.Log().SetPlace(nullptr);   // it counts with this decoder's frames
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

CodecPtr ClipDecoder::OpenDecoder(int stream, FfmpegLog& log)
{
    const AVCodecParameters* parameters = m_input.Format()->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec)
        throw CFailure(m_input.Subject(), std::string("no decoder for ") + avcodec_get_name(parameters->codec_id));
    CodecPtr context(avcodec_alloc_context3(codec));
    if (!context)
        throw CMemoryException("Not enough memory to decode " + m_input.Subject() + ".");
    log.Watch(context.get(), context->priv_data);
    // A damaged frame is an error, not a picture patched up in silence; the
    // clips of a run are decoded in parallel, each on one thread.
    context->err_recognition |= AV_EF_EXPLODE;
    context->thread_count = 1;
    const std::string what = std::string("its ") + avcodec_get_name(parameters->codec_id) + " decoder cannot start";
    log.Call(what.c_str(), avcodec_parameters_to_context, context.get(), parameters);
    log.Call(what.c_str(), avcodec_open2, context.get(), codec, nullptr);
    return context;
}

AVFrame* ClipDecoder::NextVideoFrame()
{
    try {
        return Decode();
    } catch (const CFailure&) {
        m_input.Log().ThrowFileError();   // a damaged read is the real reason
        throw;
    }
}

void ClipDecoder::SendAudio()
{
    m_audioLog.Call("its sound", avcodec_send_packet, m_audio.get(), m_packet.get());
    while (m_audioLog.Poll("its sound", avcodec_receive_frame, m_audio.get(), m_sound.get()) >= 0) {
        if (onAudio)
            onAudio(*m_sound);
    }
}

AVFrame* ClipDecoder::Decode()
{
    while (!m_ended) {
        int result = m_videoLog.Poll("", avcodec_receive_frame, m_video.get(), m_picture.get());
        if (result >= 0) {
            ++m_framesDecoded;
            return m_picture.get();
        }
        result = m_input.Log().Poll("", av_read_frame, m_input.Format(), m_packet.get());
        if (result == AVERROR_EOF) {
            m_ended = true;
            avcodec_send_packet(m_video.get(), nullptr);   // drain: the Bink decoder holds nothing back
            break;
        }
        if (result < 0)
            continue;
        if (m_packet->stream_index == m_audioStream && m_audio) {
            SendAudio();
        } else if (m_packet->stream_index == m_videoStream) {
            ++m_framesRead;
            m_videoLog.Poll("", avcodec_send_packet, m_video.get(), m_packet.get());
        }
        av_packet_unref(m_packet.get());
    }
    if (m_videoLog.Poll("", avcodec_receive_frame, m_video.get(), m_picture.get()) < 0)
        return nullptr;
    ++m_framesDecoded;
    return m_picture.get();
}
