#include "media/Muxer.h"

#include "media/OutputFormats.h"

Muxer::Muxer(const OutputFormat& format, CFile& output, bool stream, const std::string& subject)
    : m_format(format), m_output(output), m_stream(stream), m_what(std::string("the ") + format.muxer + " muxer"),
      m_log(subject)
{
    AVFormatContext* muxer = nullptr;
    const std::string none = std::string("no ") + format.muxer + " muxer";
    m_log.Call(none.c_str(), avformat_alloc_output_context2, &muxer, nullptr, format.muxer, nullptr);
    m_muxer.reset(muxer);
    m_log.Watch(muxer, muxer->priv_data);
    if (!stream)
        m_start = output.Seek64(0, CFile::current);
    m_io = std::make_unique<FileIo>(output, stream ? FileIo::Access::WriteOnce : FileIo::Access::Write, m_start,
                                    FileIo::TO_THE_END, m_log);
    if (!m_io->Context())
        throw CMemoryException("Not enough memory to convert " + subject + ".");
    muxer->pb = m_io->Context();
    m_log.Watch(muxer->pb);
    muxer->opaque = this;
    muxer->io_open = OpenReadBack;
    muxer->io_close2 = CloseReadBack;
    if (stream)
        muxer->flush_packets = 1;   // each packet goes out as it is made
}

AVStream* Muxer::AddStream(const AVCodecContext& encoder, const std::string& encoderName)
{
    AVStream* stream = avformat_new_stream(m_muxer.get(), nullptr);
    if (!stream)
        throw CMemoryException("Not enough memory to convert " + m_log.Subject() + ".");
    const std::string what = "the " + encoderName + " encoder's parameters";
    m_log.Call(what.c_str(), avcodec_parameters_from_context, stream->codecpar, &encoder);
    stream->time_base = encoder.time_base;
    return stream;
}

void Muxer::Start()
{
    Dictionary settings;
    for (const NamedSetting& setting : m_stream ? m_format.streamSettings : m_format.fileSettings)
        av_dict_set(settings.Address(), setting.name, setting.value, 0);
    const char* what = "the file's header cannot be written";
    m_log.Call(what, avformat_init_output, m_muxer.get(), settings.Address());
    RequireTaken(settings.Get(), m_log.Subject(), m_what);
    m_log.Call(what, avformat_write_header, m_muxer.get(), nullptr);
}

void Muxer::Write(AVPacket* packet)
{
    m_log.Call(m_what.c_str(), av_interleaved_write_frame, m_muxer.get(), packet);
}

void Muxer::Finish()
{
    m_log.Call("the end of the file", av_write_trailer, m_muxer.get());
    avio_flush(m_muxer->pb);
    m_log.ThrowFileError();   // a write that failed after the muxer's last look
}

// A reader of the output at its own position (ReadAt), which leaves the
// writer's where it is. No exception may leave it: FFmpeg calls it.
int Muxer::OpenReadBack(AVFormatContext* muxer, AVIOContext** io, const char*, int flags, AVDictionary**)
{
    auto* self = static_cast<Muxer*>(muxer->opaque);
    if (self->m_stream || (flags & AVIO_FLAG_WRITE))
        return AVERROR(ENOSYS);
    try {
        auto reader = std::make_unique<FileIo>(self->m_output, FileIo::Access::Read, self->m_start,
                                               FileIo::TO_THE_END, self->m_log);
        if (!reader->Context())
            return AVERROR(ENOMEM);
        *io = reader.release()->Context();
        return 0;
    } catch (...) {
        return AVERROR(ENOMEM);
    }
}

int Muxer::CloseReadBack(AVFormatContext*, AVIOContext* io)
{
    delete FileIo::Of(io);
    return 0;
}
