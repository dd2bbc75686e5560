#include "media/BinkEncoding.h"

#include "media/ClipDecoder.h"
#include "media/FilterGraph.h"
#include "media/VideoInput.h"

#include <algorithm>
#include <deque>
#include <optional>

namespace {

// Pictures that wait for their sound, at most: two seconds. A sound track
// that ends early (or lags far behind in the file) lets them go without it;
// the frames after them carry the sound when it comes.
constexpr size_t MOST_WAITING_PICTURES = 2 * CLIP_FRAME_RATE;

class Encoding {
public:
    Encoding(VideoInput& input, const BinkEncodingSettings& settings, bink::FrameSink& frames,
             std::atomic<uint32_t>* framesDone)
        : m_input(input), m_framesDone(framesDone),
          m_pictures(FilterGraph::ForBinkPictures(*input.Video(), input.VideoTimeBase(),
                                                  static_cast<int>(settings.width), static_cast<int>(settings.height),
                                                  input.Subject())),
          m_encoder(ClipSettingsOf(input, settings), frames), m_frame(av_frame_alloc()), m_filtered(av_frame_alloc())
    {
        if (!m_frame || !m_filtered)
            throw CMemoryException("Not enough memory to encode " + input.Subject() + ".");
        if (const AVCodecContext* audio = input.Audio())
            m_sound.emplace(FilterGraph::ForBinkSound(*audio, BinkSampleRate(audio->sample_rate), Channels(*audio),
                                                      input.Subject()));
    }

    BinkEncoded Run()
    {
        for (VideoInput::Got got; (got = m_input.Next(m_frame.get())) != VideoInput::Got::End;) {
            if (got == VideoInput::Got::Picture) {
                m_frame->pts = FromStart(m_frame->best_effort_timestamp, m_input.VideoTimeBase());
                NoteEnd(*m_frame);
                m_pictures.Send(m_frame.get());
            } else if (m_sound) {
                // In samples; one without a time follows the one before.
                const int64_t stamp = m_frame->best_effort_timestamp;
                const AVRational samples{1, m_frame->sample_rate > 0 ? m_frame->sample_rate : 1};
                m_frame->pts = stamp == AV_NOPTS_VALUE
                                   ? m_soundNext
                                   : av_rescale_q(FromStart(stamp, m_input.AudioTimeBase()), m_input.AudioTimeBase(),
                                                  samples);
                m_soundNext = m_frame->pts + m_frame->nb_samples;
                m_sound->Send(m_frame.get());
            }
            av_frame_unref(m_frame.get());
            if (m_sound)
                TakeSound();
            TakePictures();
        }
        if (m_sound) {
            m_sound->Send(nullptr);
            TakeSound();
        }
        m_soundEnded = true;
        if (m_sound)
            m_encoder.EndSound(0);
        if (m_lastPicture == AV_NOPTS_VALUE)
            m_pictures.Send(nullptr);
        else
            m_pictures.End(m_picturesEnd);
        TakePictures();
        if (m_encoder.Frames() == 0)
            throw CFailure(m_input.Subject(), "its video stream decodes to no picture; there is nothing to encode");
        BinkEncoded encoded;
        encoded.frames = m_encoder.Frames();
        encoded.head = m_encoder.Finish();
        encoded.fileSize = m_encoder.FileSize();
        return encoded;
    }

private:
    static int Channels(const AVCodecContext& audio) { return audio.ch_layout.nb_channels == 1 ? 1 : 2; }

    static bink::ClipSettings ClipSettingsOf(const VideoInput& input, const BinkEncodingSettings& settings)
    {
        bink::ClipSettings clip;
        clip.video.width = settings.width;
        clip.video.height = settings.height;
        clip.video.rateNumerator = CLIP_FRAME_RATE;
        clip.video.rateDenominator = 1;
        clip.video.kilobytesPerSecond = settings.quality ? 0 : settings.kilobytesPerSecond;
        clip.video.quality = settings.quality;
        if (const AVCodecContext* audio = input.Audio()) {
            bink::AudioTrack track;
            track.sampleRate = static_cast<uint16_t>(BinkSampleRate(audio->sample_rate));
            track.stereo = Channels(*audio) == 2;
            clip.tracks.push_back(track);
        }
        return clip;
    }

    // A timestamp counted from the start of the file.
    int64_t FromStart(int64_t stamp, AVRational timeBase) const
    {
        return stamp == AV_NOPTS_VALUE ? stamp : stamp - av_rescale_q(m_input.Start(), AV_TIME_BASE_Q, timeBase);
    }

    // Where the pictures end: the last one's time and its duration (as long
    // as the gap before it when the file does not say).
    void NoteEnd(const AVFrame& picture)
    {
        if (picture.pts == AV_NOPTS_VALUE)
            return;
        if (m_lastPicture != AV_NOPTS_VALUE && picture.pts > m_lastPicture)
            m_gap = picture.pts - m_lastPicture;
        m_lastPicture = picture.pts;
        const int64_t end = picture.pts + (picture.pkt_duration > 0 ? picture.pkt_duration : m_gap);
        m_picturesEnd = m_picturesEnd == AV_NOPTS_VALUE ? end : std::max(m_picturesEnd, end);
    }

    void TakeSound()
    {
        while (m_sound->Receive(m_filtered.get()) >= 0) {
            m_encoder.PushSound(0, reinterpret_cast<const int16_t*>(m_filtered->data[0]),
                                static_cast<size_t>(m_filtered->nb_samples));
            m_soundPushed += static_cast<uint64_t>(m_filtered->nb_samples);
            av_frame_unref(m_filtered.get());
        }
        PushWaiting();
    }

    void TakePictures()
    {
        while (m_pictures.Receive(m_filtered.get()) >= 0) {
            FramePtr picture(av_frame_alloc());
            if (!picture)
                throw CMemoryException("Not enough memory to encode " + m_input.Subject() + ".");
            av_frame_move_ref(picture.get(), m_filtered.get());
            m_waiting.push_back(std::move(picture));
        }
        PushWaiting();
    }

    // The pictures whose sound is pushed go to the encoder; a full queue lets
    // its first one go without.
    void PushWaiting()
    {
        while (!m_waiting.empty() && (!m_sound || m_soundEnded || m_waiting.size() > MOST_WAITING_PICTURES ||
                                      m_soundPushed >= m_encoder.SoundWanted(0))) {
            const AVFrame& picture = *m_waiting.front();
            const bink::PictureView view{{picture.data[0], picture.data[1], picture.data[2]},
                                         {picture.linesize[0], picture.linesize[1], picture.linesize[2]}};
            m_encoder.PushPicture(view);
            m_waiting.pop_front();
            if (m_framesDone)
                m_framesDone->store(m_encoder.Frames(), std::memory_order_relaxed);
        }
    }

    VideoInput& m_input;
    std::atomic<uint32_t>* m_framesDone;
    FilterGraph m_pictures;
    std::optional<FilterGraph> m_sound;
    bink::ClipEncoder m_encoder;
    FramePtr m_frame, m_filtered;
    std::deque<FramePtr> m_waiting;
    int64_t m_lastPicture = AV_NOPTS_VALUE;
    int64_t m_gap = 0;
    int64_t m_picturesEnd = AV_NOPTS_VALUE;   // in the video's time base
    int64_t m_soundNext = 0;        // the next sample's time, at the input's rate
    uint64_t m_soundPushed = 0;     // at the Bink track's
    bool m_soundEnded = false;
};

} // namespace

int BinkSampleRate(int inputRate)
{
    return std::clamp(inputRate, LOWEST_SAMPLE_RATE, HIGHEST_SAMPLE_RATE);
}

BinkEncoded EncodeBink(VideoInput& input, const BinkEncodingSettings& settings, bink::FrameSink& frames,
                       std::atomic<uint32_t>* framesDone)
{
    Encoding encoding(input, settings, frames, framesDone);
    return encoding.Run();
}
