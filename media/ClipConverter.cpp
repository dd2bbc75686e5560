#include "media/ClipConverter.h"

#include "media/ClipDecoder.h"
#include "media/Encoder.h"
#include "media/FilterGraph.h"
#include "media/Muxer.h"
#include "media/OutputFormats.h"

#include <algorithm>
#include <optional>

namespace {

// A key frame at least this often, so that a player seeks quickly and a
// fragmented stream has its first fragment soon.
constexpr int KEY_FRAME_SECONDS = 5;

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

// One encoding converted: its decoded pictures and sound each through a
// filter graph into an encoder, and on into the muxer.
class Conversion {
public:
    Conversion(ClipDecoder& decoder, const std::string& subject, CFile& output, bool stream,
               const OutputFormat& format, const ConversionOptions& options)
        : m_decoder(decoder), m_format(format), m_muxer(format, output, stream, subject),
          m_video(format.videoEncoder, m_muxer, subject, std::string("the ") + format.videoEncoder + " encoder"),
          m_filtered(av_frame_alloc())
    {
        if (!m_filtered)
            throw CMemoryException("Not enough memory to convert " + subject + ".");
        OpenVideo(options);
        m_pictures.emplace(FilterGraph::ForPictures(*decoder.Video(), subject));
        if (decoder.Audio())
            OpenAudio(subject);
        m_muxer.Start();

        // From here on a failure is told with the picture it met, or for the
        // sound with the frame it came in (stored before that frame's picture).
        const auto place = [this](uint32_t frame) {
            return "frame " + std::to_string(std::max<uint32_t>(1, std::min(frame, m_decoder.FrameCount()))) + " of " +
                   std::to_string(m_decoder.FrameCount());
        };
        for (FfmpegLog* log : {&m_muxer.Log(), &m_video.Log(), &m_pictures->Log()})
            log->SetPlace([this, place] { return place(m_framesSent); });
        if (m_audio) {
            for (FfmpegLog* log : {&m_audio->Log(), &m_sound->Log()})
                log->SetPlace([this, place] { return place(m_decoder.CurrentFrame()); });
        }
    }

    ~Conversion() { m_decoder.onAudio = nullptr; }   // it points here
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    void Run(std::atomic<uint32_t>* framesDone)
    {
        m_decoder.onAudio = [this](AVFrame& sound) { TakeSound(sound); };
        while (AVFrame* picture = m_decoder.NextVideoFrame()) {
            picture->pts = m_framesSent++;
            m_pictures->Send(picture);
            Encode(*m_pictures, m_video, m_picturesOut, false);
            if (framesDone)
                framesDone->store(m_framesSent, std::memory_order_relaxed);
        }
        m_decoder.RequireEveryFrame();
        if (m_audio) {
            if (m_soundOpen)
                m_sound->Send(nullptr);   // the end: padded with silence up to the pictures' length
            Encode(*m_sound, *m_audio, m_soundOut, true);
            m_audio->Send(nullptr);
        }
        m_pictures->Send(nullptr);
        Encode(*m_pictures, m_video, m_picturesOut, false);
        m_video.Send(nullptr);
        m_muxer.Finish();
    }

private:
    void OpenVideo(const ConversionOptions& options)
    {
        AVCodecContext* video = m_video.Context();
        const AVCodecContext* source = m_decoder.Video();
        const AVRational rate = m_decoder.FrameRate();
        video->width = source->width;
        video->height = source->height;
        video->sample_aspect_ratio = source->sample_aspect_ratio;
        video->pix_fmt = AV_PIX_FMT_YUV420P;
        video->color_range = source->color_range;
        video->colorspace = source->colorspace;
        video->color_primaries = source->color_primaries;
        video->color_trc = source->color_trc;
        video->framerate = rate;
        video->time_base = av_inv_q(rate);
        video->gop_size = std::max(1, KEY_FRAME_SECONDS * rate.num / std::max(1, rate.den));
        video->thread_count = static_cast<int>(std::max(1u, options.threads));
        video->bit_rate = 0;   // quality alone decides: the CRF
        Dictionary settings;
        av_dict_set_int(settings.Address(), "crf", options.crf >= 0 ? options.crf : m_format.crfDefault, 0);
        if (m_format.presetDefault)
            av_dict_set(settings.Address(), "preset",
                        options.preset.empty() ? m_format.presetDefault : options.preset.c_str(), 0);
        for (const NamedSetting& setting : m_format.videoSettings)
            av_dict_set(settings.Address(), setting.name, setting.value, 0);
        m_video.Open(settings);
        m_video.Stream()->avg_frame_rate = rate;
    }

    // Stereo at most, at the rate and in the format the encoder prefers, as
    // long as the pictures: frames / rate seconds of samples.
    void OpenAudio(const std::string& subject)
    {
        const AVCodecContext* source = m_decoder.Audio();
        m_audio.emplace(m_format.audioEncoder, m_muxer, subject,
                        std::string("its sound: the ") + m_format.audioEncoder + " encoder");
        AVCodecContext* audio = m_audio->Context();
        const int channels = std::min(2, std::max(1, source->ch_layout.nb_channels));
        av_channel_layout_default(&audio->ch_layout, channels);
        audio->sample_rate = PickSampleRate(m_audio->Codec(), source->sample_rate);
        audio->sample_fmt = PickSampleFormat(m_audio->Codec());
        audio->time_base = {1, audio->sample_rate};
        audio->bit_rate = int64_t(m_format.audioBitsPerChannel) * channels;
        audio->thread_count = 1;
        Dictionary none;
        m_audio->Open(none);
        const AVRational rate = m_decoder.FrameRate();
        const int64_t samples = av_rescale_rnd(m_decoder.FrameCount(), int64_t(audio->sample_rate) * rate.den,
                                               rate.num, AV_ROUND_NEAR_INF);
        m_sound.emplace(FilterGraph::ForSound(*source, *audio, samples, subject));
    }

    // Sound as the decoder gives it, each frame stamped with its first sample,
    // until the graph has the pictures' length of it.
    void TakeSound(AVFrame& sound)
    {
        if (!m_soundOpen)
            return;
        sound.pts = m_soundIn;
        m_soundIn += sound.nb_samples;
        m_soundOpen = m_sound->Send(&sound);
        Encode(*m_sound, *m_audio, m_soundOut, true);
    }

    // Every frame the graph has ready, into encoder, each at its own tick:
    // a picture's is its number, a sound frame's its first sample's.
    void Encode(FilterGraph& graph, Encoder& encoder, int64_t& next, bool sound)
    {
        AVFrame* frame = m_filtered.get();
        while (graph.Receive(frame) >= 0) {
            frame->pts = next;
            next += sound ? frame->nb_samples : 1;
            frame->pict_type = AV_PICTURE_TYPE_NONE;   // the encoder chooses its own key frames
            encoder.Send(frame);
            av_frame_unref(frame);
        }
    }

    ClipDecoder& m_decoder;
    const OutputFormat& m_format;
    Muxer m_muxer;
    Encoder m_video;
    std::optional<Encoder> m_audio;
    std::optional<FilterGraph> m_pictures;
    std::optional<FilterGraph> m_sound;
    FramePtr m_filtered;
    uint32_t m_framesSent = 0;   // pictures taken from the decoder
    int64_t m_picturesOut = 0;
    int64_t m_soundIn = 0;       // samples at the decoder's rate
    int64_t m_soundOut = 0;      // at the encoder's
    bool m_soundOpen = true;
};

} // namespace

std::string ConvertEncoding(CFile& archive, const ClipSpan& span, const std::string& subject, CFile& output,
                            bool stream, const ConversionOptions& options, std::atomic<uint32_t>* framesDone)
{
    ClipInput input(archive, span, subject);
    DecodingRules rules;
    rules.conceal = options.conceal;
    ClipDecoder decoder(input, rules);
    Conversion conversion(decoder, subject, output, stream, options.format ? *options.format : DefaultOutputFormat(),
                          options);
    conversion.Run(framesDone);
    return decoder.ConcealedText();
}
