#include "media/ClipConverter.h"

#include "file/File.h"
#include "media/ClipDecoder.h"
#include "media/ClipInput.h"
#include "media/MediaError.h"
#include "media/OutputFormats.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <climits>
#include <exception>

namespace {

constexpr int IO_BUFFER_BYTES = 64 * 1024;
// A key frame at least this often, so that a player seeks quickly and a
// fragmented stream has its first fragment soon.
constexpr int KEY_FRAME_SECONDS = 5;
constexpr int DEFAULT_AUDIO_FRAME = 1024;   // for an encoder that takes any size

// The rate an encoder takes that is nearest above wanted (resampling up loses
// nothing), else its highest; wanted when it takes any.
int PickSampleRate(const AVCodec* codec, int wanted)
{
    if (!codec->supported_samplerates)
        return wanted;
    int above = 0, highest = 0;
    for (const int* rate = codec->supported_samplerates; *rate; ++rate) {
        if (*rate == wanted)
            return wanted;
        if (*rate > wanted && (above == 0 || *rate < above))
            above = *rate;
        highest = std::max(highest, *rate);
    }
    return above ? above : highest;
}

// Float samples where the encoder takes them, planar first; else its first format.
AVSampleFormat PickSampleFormat(const AVCodec* codec)
{
    if (!codec->sample_fmts)
        return AV_SAMPLE_FMT_FLTP;
    for (const AVSampleFormat wanted : {AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT})
        for (const AVSampleFormat* format = codec->sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format)
            if (*format == wanted)
                return wanted;
    return codec->sample_fmts[0];
}

// The converter of one encoding: decoder, scaler when the decoder's pixels are
// not 4:2:0, encoders, resampler and muxer, over the output file. Exceptions
// must not cross FFmpeg's C frames: a file error inside a callback is kept and
// thrown once the library call returns.
class Conversion {
public:
    Conversion(ClipDecoder& decoder, const std::string& subject, CFile& output, bool stream,
               const OutputFormat& format)
        : m_decoder(decoder), m_subject(subject), m_output(output), m_stream(stream), m_format(format),
          m_rate(decoder.FrameRate())
    {
    }

    // The encoders and the muxer, and the file's header written.
    void Start(const ConversionOptions& options)
    {
        m_packet = av_packet_alloc();
        m_picture = av_frame_alloc();
        if (!m_packet || !m_picture)
            ThrowNoMemory();
        ForgetFfmpegLog();
        const int made = avformat_alloc_output_context2(&m_muxer, nullptr, m_format.muxer, nullptr);
        if (made < 0)
            ThrowFfmpegError(m_subject, std::string("no ") + m_format.muxer + " muxer", made);
        OpenVideo(options);
        if (m_decoder.Audio())
            OpenAudio();
        OpenOutput();
    }

    ~Conversion()
    {
        avcodec_free_context(&m_video);
        avcodec_free_context(&m_audio);
        if (m_muxer) {
            if (m_muxer->pb) {
                av_freep(&m_muxer->pb->buffer);
                avio_context_free(&m_muxer->pb);
            }
            avformat_free_context(m_muxer);
        }
        sws_freeContext(m_scaler);
        swr_free(&m_resampler);
        if (m_fifo)
            av_audio_fifo_free(m_fifo);
        av_frame_free(&m_picture);
        av_frame_free(&m_scaled);
        av_frame_free(&m_sound);
        av_frame_free(&m_resampled);
        av_packet_free(&m_packet);
    }

    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    void Run(std::atomic<uint32_t>* framesDone)
    {
        m_decoder.onAudio = [this](const AVFrame& sound) { TakeSound(sound); };
        while (const AVFrame* picture = m_decoder.NextVideoFrame()) {
            EncodePicture(*picture);
            if (framesDone)
                framesDone->store(m_framesSent, std::memory_order_relaxed);
        }
        m_decoder.onAudio = nullptr;
        m_decoder.RequireEveryFrame();
        if (m_audio) {
            FlushResampler();
            EncodeSound(true);
            Flush(m_audio, m_audioStream, m_format.audioEncoder);
        }
        Flush(m_video, m_videoStream, m_format.videoEncoder);
        ForgetFfmpegLog();
        const int written = av_write_trailer(m_muxer);
        if (written < 0)
            Fail("the end of the file", written);
        ForgetFfmpegLog();
        avio_flush(m_muxer->pb);
        ThrowWriteFailure();
    }

private:
    [[noreturn]] void ThrowNoMemory() const
    {
        throw CMemoryException("Not enough memory to convert " + m_subject + ".");
    }

    void ThrowWriteFailure() const
    {
        if (m_writeFailure)
            std::rethrow_exception(m_writeFailure);
    }

    // "frame 17 of 45: what: reason"; a file error met meanwhile is the real reason.
    [[noreturn]] void Fail(const std::string& what, int code) const
    {
        ThrowWriteFailure();
        const uint32_t frame = std::max<uint32_t>(1, std::min(m_framesSent, m_decoder.FrameCount()));
        ThrowFfmpegError(m_subject,
                         "frame " + std::to_string(frame) + " of " + std::to_string(m_decoder.FrameCount()) + ": " + what,
                         code);
    }

    AVCodecContext* NewEncoder(const char* name, const AVCodec*& codec)
    {
        codec = avcodec_find_encoder_by_name(name);
        if (!codec)
            throw CFailure(m_subject, std::string("this FFmpeg has no ") + name + " encoder");
        AVCodecContext* context = avcodec_alloc_context3(codec);
        if (!context)
            ThrowNoMemory();
        if (m_muxer->oformat->flags & AVFMT_GLOBALHEADER)
            context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        return context;
    }

    AVStream* StartEncoder(AVCodecContext* context, const AVCodec* codec, AVDictionary** settings, const char* name)
    {
        ForgetFfmpegLog();
        int result = avcodec_open2(context, codec, settings);
        av_dict_free(settings);
        if (result < 0)
            ThrowFfmpegError(m_subject, std::string("the ") + name + " encoder cannot start", result);
        AVStream* stream = avformat_new_stream(m_muxer, nullptr);
        if (!stream)
            ThrowNoMemory();
        result = avcodec_parameters_from_context(stream->codecpar, context);
        if (result < 0)
            ThrowFfmpegError(m_subject, std::string("the ") + name + " encoder's parameters", result);
        stream->time_base = context->time_base;
        return stream;
    }

    void OpenVideo(const ConversionOptions& options)
    {
        const AVCodec* codec = nullptr;
        m_video = NewEncoder(m_format.videoEncoder, codec);
        const AVCodecContext* source = m_decoder.Video();
        m_video->width = source->width;
        m_video->height = source->height;
        m_video->sample_aspect_ratio = source->sample_aspect_ratio;
        m_video->pix_fmt = AV_PIX_FMT_YUV420P;
        m_video->color_range = source->color_range;
        m_video->colorspace = source->colorspace;
        m_video->color_primaries = source->color_primaries;
        m_video->color_trc = source->color_trc;
        m_video->framerate = m_rate;
        m_video->time_base = av_inv_q(m_rate);
        m_video->gop_size = std::max(1, KEY_FRAME_SECONDS * m_rate.num / std::max(1, m_rate.den));
        m_video->thread_count = static_cast<int>(std::max(1u, options.threads));
        m_video->bit_rate = 0;   // quality alone decides: the CRF
        const int crf = options.crf >= 0 ? options.crf : m_format.crfDefault;
        AVDictionary* settings = nullptr;
        av_dict_set_int(&settings, "crf", crf, 0);
        if (m_format.presetDefault)
            av_dict_set(&settings, "preset", options.preset.empty() ? m_format.presetDefault : options.preset.c_str(), 0);
        for (const NamedSetting& setting : m_format.videoSettings)
            av_dict_set(&settings, setting.name, setting.value, 0);
        m_videoStream = StartEncoder(m_video, codec, &settings, m_format.videoEncoder);
        m_videoStream->avg_frame_rate = m_rate;
    }

    void OpenAudio()
    {
        const AVCodecContext* source = m_decoder.Audio();
        const AVCodec* codec = nullptr;
        m_audio = NewEncoder(m_format.audioEncoder, codec);
        const int channels = std::min(2, std::max(1, source->ch_layout.nb_channels));
        av_channel_layout_default(&m_audio->ch_layout, channels);
        m_audio->sample_rate = PickSampleRate(codec, source->sample_rate);
        m_audio->sample_fmt = PickSampleFormat(codec);
        m_audio->time_base = {1, m_audio->sample_rate};
        m_audio->bit_rate = int64_t(m_format.audioBitsPerChannel) * channels;
        m_audio->thread_count = 1;
        AVDictionary* settings = nullptr;
        m_audioStream = StartEncoder(m_audio, codec, &settings, m_format.audioEncoder);

        AVChannelLayout sourceLayout{};
        if (source->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || source->ch_layout.nb_channels == 0)
            av_channel_layout_default(&sourceLayout, std::max(1, source->ch_layout.nb_channels));
        else
            av_channel_layout_copy(&sourceLayout, &source->ch_layout);
        ForgetFfmpegLog();
        int result = swr_alloc_set_opts2(&m_resampler, &m_audio->ch_layout, m_audio->sample_fmt, m_audio->sample_rate,
                                         &sourceLayout, source->sample_fmt, source->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&sourceLayout);
        if (result >= 0)
            result = swr_init(m_resampler);
        if (result < 0)
            ThrowFfmpegError(m_subject, "its sound cannot be resampled", result);
        m_audioFrameSize = m_audio->frame_size > 0 ? m_audio->frame_size : DEFAULT_AUDIO_FRAME;
        m_fifo = av_audio_fifo_alloc(m_audio->sample_fmt, channels, m_audioFrameSize);
        m_sound = av_frame_alloc();
        m_resampled = av_frame_alloc();
        if (!m_fifo || !m_sound || !m_resampled)
            ThrowNoMemory();
        // As long as the pictures: frames / rate seconds of samples.
        m_soundTarget = av_rescale_rnd(m_decoder.FrameCount(), int64_t(m_audio->sample_rate) * m_rate.den,
                                       m_rate.num, AV_ROUND_NEAR_INF);
    }

    void OpenOutput()
    {
        auto* buffer = static_cast<unsigned char*>(av_malloc(IO_BUFFER_BYTES));
        AVIOContext* io = buffer ? avio_alloc_context(buffer, IO_BUFFER_BYTES, 1, this, nullptr, WriteOutput,
                                                      m_stream ? nullptr : SeekOutput)
                                 : nullptr;
        if (!io) {
            av_free(buffer);
            ThrowNoMemory();
        }
        m_muxer->pb = io;
        // The MP4 muxer reads a finished file back to put its index at the
        // front: through these, from the same open file.
        m_muxer->opaque = this;
        m_muxer->io_open = OpenReadBack;
        m_muxer->io_close2 = CloseReadBack;
        AVDictionary* settings = nullptr;
        if (m_stream)
            m_muxer->flush_packets = 1;   // each packet goes out as it is made
        for (const NamedSetting& setting : m_stream ? m_format.streamSettings : m_format.fileSettings)
            av_dict_set(&settings, setting.name, setting.value, 0);
        ForgetFfmpegLog();
        const int result = avformat_write_header(m_muxer, &settings);
        av_dict_free(&settings);
        if (result < 0) {
            ThrowWriteFailure();
            ThrowFfmpegError(m_subject, "the file's header cannot be written", result);
        }
    }

    void EncodePicture(const AVFrame& decoded)
    {
        const AVFrame* source = &decoded;
        if (decoded.format != AV_PIX_FMT_YUV420P)
            source = Scaled(decoded);
        ForgetFfmpegLog();
        int result = av_frame_ref(m_picture, source);
        if (result < 0)
            ThrowNoMemory();
        // Every picture at its own tick; the encoder chooses its own key frames.
        m_picture->pts = m_framesSent++;
        m_picture->pict_type = AV_PICTURE_TYPE_NONE;
        result = avcodec_send_frame(m_video, m_picture);
        av_frame_unref(m_picture);
        if (result < 0)
            Fail(std::string("the ") + m_format.videoEncoder + " encoder", result);
        Drain(m_video, m_videoStream, m_format.videoEncoder);
    }

    const AVFrame* Scaled(const AVFrame& decoded)
    {
        m_scaler = sws_getCachedContext(m_scaler, decoded.width, decoded.height,
                                        static_cast<AVPixelFormat>(decoded.format), m_video->width, m_video->height,
                                        AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!m_scaled)
            m_scaled = av_frame_alloc();
        if (!m_scaler || !m_scaled)
            Fail("its pictures cannot be converted to 4:2:0", AVERROR(EINVAL));
        if (!m_scaled->data[0]) {
            m_scaled->format = AV_PIX_FMT_YUV420P;
            m_scaled->width = m_video->width;
            m_scaled->height = m_video->height;
            if (av_frame_get_buffer(m_scaled, 0) < 0)
                ThrowNoMemory();
        }
        if (av_frame_make_writable(m_scaled) < 0)
            ThrowNoMemory();
        ForgetFfmpegLog();
        const int result = sws_scale(m_scaler, decoded.data, decoded.linesize, 0, decoded.height, m_scaled->data,
                                     m_scaled->linesize);
        if (result < 0)
            Fail("its picture cannot be converted to 4:2:0", result);
        return m_scaled;
    }

    // Sound as the decoder gives it, resampled into the queue; whole encoder
    // frames go on as they fill.
    void TakeSound(const AVFrame& sound)
    {
        Resample(const_cast<const uint8_t**>(sound.extended_data), sound.nb_samples);
        EncodeSound(false);
    }

    void FlushResampler() { Resample(nullptr, 0); }

    void Resample(const uint8_t** input, int samples)
    {
        const int room = swr_get_out_samples(m_resampler, samples);
        if (room <= 0)
            return;
        if (m_resampled->nb_samples < room) {
            av_frame_unref(m_resampled);
            m_resampled->format = m_audio->sample_fmt;
            m_resampled->sample_rate = m_audio->sample_rate;
            m_resampled->nb_samples = room;
            if (av_channel_layout_copy(&m_resampled->ch_layout, &m_audio->ch_layout) < 0 ||
                av_frame_get_buffer(m_resampled, 0) < 0)
                ThrowNoMemory();
        }
        ForgetFfmpegLog();
        const int converted = swr_convert(m_resampler, m_resampled->extended_data, room, input, samples);
        if (converted < 0)
            Fail("its sound cannot be resampled", converted);
        if (converted > 0 && av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_resampled->extended_data),
                                                 converted) < converted)
            ThrowNoMemory();
    }

    // Sends the queued sound in encoder frames, never past the pictures'
    // length; at the end (last) the queue is padded with silence up to it.
    void EncodeSound(bool last)
    {
        const bool smallLast = m_audio->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
        while (m_soundSent < m_soundTarget) {
            const int wanted = static_cast<int>(std::min<int64_t>(m_audioFrameSize, m_soundTarget - m_soundSent));
            const int queued = av_audio_fifo_size(m_fifo);
            if (queued < wanted && !last)
                return;
            const int samples = wanted < m_audioFrameSize && !smallLast ? m_audioFrameSize : wanted;
            m_sound->format = m_audio->sample_fmt;
            m_sound->sample_rate = m_audio->sample_rate;
            m_sound->nb_samples = samples;
            if (av_channel_layout_copy(&m_sound->ch_layout, &m_audio->ch_layout) < 0 ||
                av_frame_get_buffer(m_sound, 0) < 0)
                ThrowNoMemory();
            const int taken = av_audio_fifo_read(m_fifo, reinterpret_cast<void**>(m_sound->extended_data),
                                                 std::min(queued, wanted));
            if (taken < samples) {
                av_samples_set_silence(m_sound->extended_data, std::max(taken, 0), samples - std::max(taken, 0),
                                       m_audio->ch_layout.nb_channels, m_audio->sample_fmt);
            }
            m_sound->pts = m_soundSent;
            m_soundSent += wanted;
            ForgetFfmpegLog();
            const int result = avcodec_send_frame(m_audio, m_sound);
            av_frame_unref(m_sound);
            if (result < 0)
                Fail(std::string("its sound: the ") + m_format.audioEncoder + " encoder", result);
            Drain(m_audio, m_audioStream, m_format.audioEncoder);
        }
        av_audio_fifo_reset(m_fifo);   // past the pictures' end: cut
    }

    void Flush(AVCodecContext* encoder, AVStream* stream, const char* name)
    {
        ForgetFfmpegLog();
        const int result = avcodec_send_frame(encoder, nullptr);
        if (result < 0 && result != AVERROR_EOF)
            Fail(std::string("the ") + name + " encoder", result);
        Drain(encoder, stream, name);
    }

    // Every packet the encoder has ready, into the muxer.
    void Drain(AVCodecContext* encoder, AVStream* stream, const char* name)
    {
        while (true) {
            ForgetFfmpegLog();
            int result = avcodec_receive_packet(encoder, m_packet);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                return;
            if (result < 0)
                Fail(std::string("the ") + name + " encoder", result);
            av_packet_rescale_ts(m_packet, encoder->time_base, stream->time_base);
            m_packet->stream_index = stream->index;
            ForgetFfmpegLog();
            result = av_interleaved_write_frame(m_muxer, m_packet);
            if (result < 0)
                Fail(std::string("the ") + m_format.muxer + " muxer", result);
        }
    }

    static int WriteOutput(void* opaque, uint8_t* buffer, int size)
    {
        auto* self = static_cast<Conversion*>(opaque);
        if (self->m_writeFailure)
            return AVERROR(EIO);
        try {
            self->m_output.Write(buffer, static_cast<uint32_t>(size));
            return size;
        } catch (...) {
            self->m_writeFailure = std::current_exception();
            return AVERROR(EIO);
        }
    }

    static int64_t SeekOutput(void* opaque, int64_t offset, int whence)
    {
        auto* self = static_cast<Conversion*>(opaque);
        try {
            const int how = whence & ~AVSEEK_FORCE;
            if (how == AVSEEK_SIZE)
                return self->m_output.GetLength();
            if ((how != SEEK_SET && how != SEEK_CUR && how != SEEK_END) || offset < INT32_MIN || offset > INT32_MAX)
                return AVERROR(EINVAL);
            const unsigned from = how == SEEK_SET ? CFile::begin : how == SEEK_CUR ? CFile::current : CFile::end;
            return self->m_output.Seek(static_cast<int32_t>(offset), from);
        } catch (...) {
            if (!self->m_writeFailure)
                self->m_writeFailure = std::current_exception();
            return AVERROR(EIO);
        }
    }

    // A reader of the output file at its own position (ReadAt), which leaves
    // the writer's where it is.
    struct ReadBack {
        Conversion* owner;
        uint64_t position;
    };

    static int OpenReadBack(AVFormatContext* muxer, AVIOContext** io, const char*, int flags, AVDictionary**)
    {
        auto* self = static_cast<Conversion*>(muxer->opaque);
        if (self->m_stream || (flags & AVIO_FLAG_WRITE))
            return AVERROR(ENOSYS);
        auto* reader = static_cast<ReadBack*>(av_mallocz(sizeof(ReadBack)));
        auto* buffer = static_cast<unsigned char*>(av_malloc(IO_BUFFER_BYTES));
        *io = reader && buffer ? avio_alloc_context(buffer, IO_BUFFER_BYTES, 0, reader, ReadOutput, nullptr, SeekReadBack)
                               : nullptr;
        if (!*io) {
            av_free(reader);
            av_free(buffer);
            return AVERROR(ENOMEM);
        }
        reader->owner = self;
        return 0;
    }

    static int CloseReadBack(AVFormatContext*, AVIOContext* io)
    {
        av_free(io->opaque);
        av_freep(&io->buffer);
        avio_context_free(&io);
        return 0;
    }

    static int ReadOutput(void* opaque, uint8_t* buffer, int size)
    {
        auto* reader = static_cast<ReadBack*>(opaque);
        Conversion* self = reader->owner;
        try {
            if (reader->position > UINT32_MAX)
                return AVERROR_EOF;
            const uint32_t got =
                self->m_output.ReadAt(static_cast<uint32_t>(reader->position), buffer, static_cast<uint32_t>(size));
            reader->position += got;
            return got == 0 ? AVERROR_EOF : static_cast<int>(got);
        } catch (...) {
            if (!self->m_writeFailure)
                self->m_writeFailure = std::current_exception();
            return AVERROR(EIO);
        }
    }

    static int64_t SeekReadBack(void* opaque, int64_t offset, int whence)
    {
        auto* reader = static_cast<ReadBack*>(opaque);
        Conversion* self = reader->owner;
        try {
            const int64_t target = SeekTarget(self->m_output.GetLength(), reader->position, offset, whence);
            if (target >= 0 && (whence & ~AVSEEK_FORCE) != AVSEEK_SIZE)
                reader->position = static_cast<uint64_t>(target);
            return target;
        } catch (...) {
            if (!self->m_writeFailure)
                self->m_writeFailure = std::current_exception();
            return AVERROR(EIO);
        }
    }

    ClipDecoder& m_decoder;
    const std::string& m_subject;
    CFile& m_output;
    const bool m_stream;
    const OutputFormat& m_format;
    const AVRational m_rate;
    AVFormatContext* m_muxer = nullptr;
    AVCodecContext* m_video = nullptr;
    AVCodecContext* m_audio = nullptr;
    AVStream* m_videoStream = nullptr;
    AVStream* m_audioStream = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_picture = nullptr;
    AVFrame* m_scaled = nullptr;
    SwsContext* m_scaler = nullptr;
    SwrContext* m_resampler = nullptr;
    AVAudioFifo* m_fifo = nullptr;
    AVFrame* m_sound = nullptr;
    AVFrame* m_resampled = nullptr;
    int m_audioFrameSize = DEFAULT_AUDIO_FRAME;
    int64_t m_soundTarget = 0;   // samples: as long as the pictures
    int64_t m_soundSent = 0;
    uint32_t m_framesSent = 0;
    std::exception_ptr m_writeFailure;
};

} // namespace

void ConvertEncoding(CFile& archive, const ClipSpan& span, const std::string& subject, CFile& output, bool stream,
                     const ConversionOptions& options, std::atomic<uint32_t>* framesDone)
{
    ClipInput input(archive, span, subject);
    ClipDecoder decoder(input);
    Conversion conversion(decoder, subject, output, stream,
                          options.format ? *options.format : DefaultOutputFormat());
    conversion.Start(options);
    conversion.Run(framesDone);
}
