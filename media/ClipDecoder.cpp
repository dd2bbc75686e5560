#include "media/ClipDecoder.h"

#include "media/Concealment.h"

#include <algorithm>

namespace {

// Silence for lost sound goes out in frames of at most this many samples.
constexpr int SILENCE_FRAME_SAMPLES = 4096;

// Bytes a Bink frame holds at the least: the size of each sound track's
// packet, then the picture's first 32-bit word. The demuxer takes the sizes
// from a shorter frame past its end (a 2-byte frame asks for 4 GiB).
uint64_t SmallestFrame(unsigned soundTracks)
{
    return 4ull * soundTracks + 4;
}

} // namespace

ClipDecoder::ClipDecoder(ClipInput& input, DecodingRules rules)
    : m_input(input), m_rules(rules), m_videoLog(input.Subject()), m_packet(av_packet_alloc()),
      m_picture(av_frame_alloc()), m_lastGood(av_frame_alloc()), m_sample(av_frame_alloc())
{
    if (!m_packet || !m_picture || !m_lastGood || !m_sample)
        throw CMemoryException("Not enough memory to decode " + input.Subject() + ".");
    AVFormatContext* format = input.Format();
    std::vector<int> sound;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVMediaType type = format->streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && m_videoStream < 0)
            m_videoStream = static_cast<int>(i);
        else if (type == AVMEDIA_TYPE_AUDIO)
            sound.push_back(static_cast<int>(i));
    }
    if (m_videoStream < 0)
        throw CFailure(input.Subject(), "holds no video stream");
    m_streamsWithSound = static_cast<unsigned>(sound.size());
    // The demuxer gives the header's frame count as the stream's duration in frames.
    const AVStream* video = format->streams[m_videoStream];
    m_frameCount = static_cast<uint32_t>(video->nb_frames > 0 ? video->nb_frames : std::max<int64_t>(video->duration, 0));
    if (m_frameCount == 0)
        throw CFailure(input.Subject(), "holds no frames");
    m_video = OpenDecoder(m_videoStream, m_videoLog);
    for (size_t t = 0; t < sound.size() && (t == 0 || m_rules.everyTrack); ++t)
        OpenSound(sound[t], static_cast<unsigned>(t + 1));

    // From here on a failure is told with the frame it met.
    const auto place = [this] { return "frame " + std::to_string(m_frame) + " of " + std::to_string(m_frameCount); };
    m_videoLog.SetPlace(place);
    for (SoundTrack& track : m_sound)
        track.log->SetPlace(place);
    m_input.Log().SetPlace(place);
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

const AVCodecContext* ClipDecoder::Audio() const
{
    return m_sound.empty() ? nullptr : m_sound.front().decoder.get();
}

std::string ClipDecoder::FirstFault() const
{
    return m_firstFault.empty() ? std::string() : m_input.Subject() + ": " + m_firstFault;
}

std::string ClipDecoder::ConcealedText() const
{
    return m_concealed == 0 ? std::string() : m_input.Subject() + ": " + ::ConcealedText(m_concealed, m_firstFault);
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
    // A damaged frame is an error, not a picture patched up in silence (a
    // concealed one is counted and said); the clips of a run are decoded in
    // parallel, each on one thread.
    context->err_recognition |= AV_EF_EXPLODE;
    context->thread_count = 1;
    const std::string what = std::string("its ") + avcodec_get_name(parameters->codec_id) + " decoder cannot start";
    log.Call(what.c_str(), avcodec_parameters_to_context, context.get(), parameters);
    log.Call(what.c_str(), avcodec_open2, context.get(), codec, nullptr);
    return context;
}

void ClipDecoder::OpenSound(int stream, unsigned number)
{
    const int rate = m_input.Format()->streams[stream]->codecpar->sample_rate;
    if (rate < LOWEST_SAMPLE_RATE || rate > HIGHEST_SAMPLE_RATE)
        throw CFailure(m_input.Subject(), "audio track " + std::to_string(number) + "'s header gives " +
                                              std::to_string(rate) + " Hz, not " + std::to_string(LOWEST_SAMPLE_RATE) +
                                              " to " + std::to_string(HIGHEST_SAMPLE_RATE));
    SoundTrack track;
    track.stream = stream;
    track.log = std::make_unique<FfmpegLog>(m_input.Subject());
    track.decoder = OpenDecoder(stream, *track.log);
    const AVRational frameRate = FrameRate();
    track.limit = av_rescale_rnd(m_frameCount, int64_t(rate) * frameRate.den, frameRate.num, AV_ROUND_UP);
    m_sound.push_back(std::move(track));
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

template <typename Step>
bool ClipDecoder::Concealing(Step step)
{
    if (!m_rules.conceal) {
        step();
        return true;
    }
    try {
        step();
        return true;
    } catch (const CFailure& failure) {
        m_input.Log().ThrowFileError();   // the archive's fault, not the clip's
        Conceal(failure.Reason(), m_frame);
        return false;
    }
}

AVFrame* ClipDecoder::Decode()
{
    for (;;) {
        if (m_videoLog.Poll("", avcodec_receive_frame, m_video.get(), m_picture.get()) >= 0) {
            av_frame_unref(m_lastGood.get());
            if (av_frame_ref(m_lastGood.get(), m_picture.get()) < 0)
                throw CMemoryException("Not enough memory to decode " + m_input.Subject() + ".");
            ++m_framesDecoded;
            return m_picture.get();
        }
        if (m_pictureLost) {
            m_pictureLost = false;
            return ShowAgain();
        }
        if (m_ended) {
            if (!m_rules.conceal || m_framesDecoded >= m_frameCount)
                return nullptr;
            Conceal("decodes " + std::to_string(m_framesDecoded) + " of " + std::to_string(m_frameCount) + " frames",
                    m_framesDecoded + 1);
            return ShowAgain();
        }
        ReadPacket();
    }
}

void ClipDecoder::ReadPacket()
{
    const bool frameStarts = m_frameRead;
    if (frameStarts) {
        m_frame = std::min(m_videoPackets + 1, m_frameCount);
        m_frameRead = false;
    }
    av_packet_unref(m_packet.get());
    int result = 0;
    const bool read = Concealing([&] {
        if (frameStarts && m_videoPackets < m_frameCount)
            CheckFrameSize();
        result = m_input.Log().Poll("", av_read_frame, m_input.Format(), m_packet.get());
    });
    if (!read) {
        m_ended = true;   // the demuxer reads on from where it stopped: nothing after it is sure
        return;
    }
    if (result == AVERROR_EOF) {
        m_ended = true;
        avcodec_send_packet(m_video.get(), nullptr);   // drain: the Bink decoder holds nothing back
        return;
    }
    if (result < 0)
        return;
    if (m_packet->stream_index == m_videoStream) {
        ++m_videoPackets;
        m_frameRead = true;
        m_pictureLost = !Concealing([&] { m_videoLog.Poll("", avcodec_send_packet, m_video.get(), m_packet.get()); });
        return;
    }
    for (SoundTrack& track : m_sound) {
        if (track.stream == m_packet->stream_index && track.samples < track.limit)
            SendSound(track);
    }
}

void ClipDecoder::CheckFrameSize() const
{
    const AVIndexEntry* entry = avformat_index_get_entry(m_input.Format()->streams[m_videoStream],
                                                         static_cast<int>(m_videoPackets));
    const uint64_t smallest = SmallestFrame(m_streamsWithSound);
    if (!entry || static_cast<uint64_t>(entry->size) >= smallest)
        return;
    const std::string tracks =
        m_streamsWithSound == 0 ? std::string()
                                : " with " + std::to_string(m_streamsWithSound) +
                                      (m_streamsWithSound == 1 ? " audio track" : " audio tracks");
    throw CFailure(m_input.Subject(), "frame " + std::to_string(m_frame) + " of " + std::to_string(m_frameCount) +
                                          ": " + std::to_string(entry->size) + " bytes long, too short for a frame" +
                                          tracks + " (" + std::to_string(smallest) + " bytes at least)");
}

void ClipDecoder::SendSound(SoundTrack& track)
{
    const int64_t reported = ReportedSamples(*m_packet, track.decoder->ch_layout.nb_channels);
    int64_t decoded = 0;
    const bool whole = Concealing([&] {
        track.log->Call("its sound", avcodec_send_packet, track.decoder.get(), m_packet.get());
        while (track.samples < track.limit &&
               track.log->Poll("its sound", avcodec_receive_frame, track.decoder.get(), m_sample.get()) >= 0) {
            decoded += m_sample->nb_samples;
            TakeSound(track, *m_sample);
        }
    });
    if (whole)
        return;
    // A decoder that failed amid a packet would go on with the rest of it:
    // a fresh one starts on the next packet.
    track.decoder.reset();
    track.decoder = OpenDecoder(track.stream, *track.log);
    for (int64_t left = std::min(reported - decoded, track.limit - track.samples); left > 0;) {
        const int samples = static_cast<int>(std::min<int64_t>(left, SILENCE_FRAME_SAMPLES));
        FramePtr silence = Silence(*track.decoder, samples, m_input.Subject());
        TakeSound(track, *silence);
        left -= samples;
    }
}

void ClipDecoder::TakeSound(SoundTrack& track, AVFrame& sound)
{
    // Cut to the pictures' length before anything resamples it.
    sound.nb_samples = static_cast<int>(std::min<int64_t>(sound.nb_samples, track.limit - track.samples));
    track.samples += sound.nb_samples;
    if (&track == &m_sound.front() && onAudio && sound.nb_samples > 0)
        onAudio(sound);
}

void ClipDecoder::Conceal(const std::string& fault, uint32_t frame)
{
    if (frame != m_lastConcealed) {
        ++m_concealed;
        m_lastConcealed = frame;
    }
    if (m_firstFault.empty()) {
        m_firstFault = fault;
        m_firstConcealed = frame;
    }
}

AVFrame* ClipDecoder::ShowAgain()
{
    if (!m_lastGood->buf[0]) {
        FramePtr black = BlackPicture(*m_video, m_input.Subject());
        av_frame_move_ref(m_lastGood.get(), black.get());
    }
    av_frame_unref(m_picture.get());
    if (av_frame_ref(m_picture.get(), m_lastGood.get()) < 0)
        throw CMemoryException("Not enough memory to decode " + m_input.Subject() + ".");
    ++m_framesDecoded;
    return m_picture.get();
}
