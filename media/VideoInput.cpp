#include "media/VideoInput.h"

#include <algorithm>
#include <cstdio>

namespace {

// "0:12.4": where a failure lies, as a player shows the time.
std::string TimeText(double seconds)
{
    char text[32];
    const long whole = static_cast<long>(seconds);
    std::snprintf(text, sizeof text, "%ld:%02ld.%ld", whole / 60, whole % 60,
                  static_cast<long>((seconds - whole) * 10));
    return text;
}

} // namespace

VideoInput::VideoInput(const std::string& path) : m_path(path), m_log(path), m_packet(av_packet_alloc())
{
    CFileException failure;
    if (!m_file.OpenRegularFile(path.c_str(), &failure))
        throw failure;
    m_io = std::make_unique<FileIo>(m_file, FileIo::Access::Read, 0, FileIo::TO_THE_END, m_log);
    AVFormatContext* format = m_io->Context() && m_packet ? avformat_alloc_context() : nullptr;
    if (!format)
        throw CMemoryException("Not enough memory to read " + path + ".");
    format->pb = m_io->Context();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    m_log.Watch(format, m_io->Context());
    // A failed open frees the context and nulls the pointer.
    m_log.Call("cannot be read as a video", avformat_open_input, &format, nullptr, nullptr, nullptr);
    m_format.reset(format);
    m_log.Watch(format->priv_data);
    m_log.Call("cannot be read as a video", avformat_find_stream_info, format, nullptr);

    m_video.index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    // A cover picture is one frame of a sound file, not its video.
    if (m_video.index < 0 || format->streams[m_video.index]->disposition & AV_DISPOSITION_ATTACHED_PIC)
        throw CFailure(path, "has no video stream; there are no pictures to encode");
    m_audio.index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, m_video.index, nullptr, 0);
    Open(m_video, "its video");
    if (m_audio.index >= 0)
        Open(m_audio, "its sound");
    const auto place = [this] { return "at " + TimeText(m_seconds); };
    m_log.SetPlace(place);
    m_video.log->SetPlace(place);
    if (m_audio.log)
        m_audio.log->SetPlace(place);
}

VideoInput::~VideoInput() = default;

void VideoInput::Open(Stream& stream, const char* what)
{
    const AVCodecParameters* parameters = m_format->streams[stream.index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (!codec)
        throw CFailure(m_path, std::string(what) + ": FFmpeg has no decoder for " + avcodec_get_name(parameters->codec_id));
    stream.log = std::make_unique<FfmpegLog>(m_path);
    stream.decoder.reset(avcodec_alloc_context3(codec));
    if (!stream.decoder)
        throw CMemoryException("Not enough memory to decode " + m_path + ".");
    stream.log->Watch(stream.decoder.get(), stream.decoder->priv_data);
    // Several inputs are encoded at once, each decoded on its own thread.
    stream.decoder->thread_count = 1;
    const std::string cannot = std::string(what) + " cannot be decoded";
    stream.log->Call(cannot.c_str(), avcodec_parameters_to_context, stream.decoder.get(), parameters);
    stream.decoder->pkt_timebase = m_format->streams[stream.index]->time_base;
    stream.log->Call(cannot.c_str(), avcodec_open2, stream.decoder.get(), codec, nullptr);
}

AVRational VideoInput::VideoTimeBase() const
{
    return m_format->streams[m_video.index]->time_base;
}

AVRational VideoInput::AudioTimeBase() const
{
    return m_format->streams[m_audio.index]->time_base;
}

int64_t VideoInput::Start() const
{
    return m_format->start_time == AV_NOPTS_VALUE ? 0 : m_format->start_time;
}

double VideoInput::Duration() const
{
    return m_format->duration > 0 ? double(m_format->duration) / AV_TIME_BASE : 0;
}

VideoInput::Got VideoInput::Next(AVFrame* frame)
{
    for (;;) {
        for (Stream* stream : {&m_video, &m_audio}) {
            if (!stream->decoder || stream->drained)
                continue;
            const int result = stream->log->Poll("", avcodec_receive_frame, stream->decoder.get(), frame);
            if (result >= 0)
                return stream == &m_video ? Got::Picture : Got::Sound;
            stream->drained = result == AVERROR_EOF;
        }
        // Once the file has ended, each decoder gives what it holds, then the end.
        if (m_ended)
            return Got::End;
        ReadPacket();
    }
}

void VideoInput::ReadPacket()
{
    av_packet_unref(m_packet.get());
    if (m_log.Poll("", av_read_frame, m_format.get(), m_packet.get()) == AVERROR_EOF) {
        m_ended = true;
        for (Stream* stream : {&m_video, &m_audio})
            if (stream->decoder)
                stream->log->Call("", avcodec_send_packet, stream->decoder.get(), nullptr);
        return;
    }
    const AVStream* read = m_format->streams[m_packet->stream_index];
    if (m_packet->pts != AV_NOPTS_VALUE)
        m_seconds = std::max(0.0, m_packet->pts * av_q2d(read->time_base) - double(Start()) / AV_TIME_BASE);
    for (Stream* stream : {&m_video, &m_audio})
        if (stream->decoder && stream->index == m_packet->stream_index)
            stream->log->Call("", avcodec_send_packet, stream->decoder.get(), m_packet.get());
}
