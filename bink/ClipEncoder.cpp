#include "bink/ClipEncoder.h"

#include <stdexcept>

namespace bink {

namespace {

VideoFormat FormatOf(const VideoSettings& video)
{
    return {video.width, video.height, video.rateNumerator, video.rateDenominator};
}

} // namespace

ClipEncoder::ClipEncoder(const ClipSettings& settings, FrameSink& frames)
    : m_settings(settings), m_sink(frames), m_video(settings.video), m_format(FormatOf(settings.video)),
      m_soundEnded(settings.tracks.size(), false), m_layout(m_format, settings.tracks)
{
    for (const AudioTrack& track : settings.tracks)
        m_audio.push_back(std::make_unique<AudioEncoder>(track, settings.audioQuality));
}

void ClipEncoder::PushSound(size_t track, const int16_t* samples, size_t samplesPerChannel)
{
    if (!m_soundEnded.at(track))
        m_audio[track]->Push(samples, samplesPerChannel);
}

uint64_t ClipEncoder::SoundWanted(size_t track) const
{
    // Sound up to the end of the next picture's frame, which may be the last.
    const uint64_t due = SamplesDueBy(Frames() + 1, m_settings.tracks.at(track).sampleRate, m_format);
    return m_audio[track]->SamplesWanted(due);
}

void ClipEncoder::EndSound(size_t track)
{
    if (!m_soundEnded.at(track))
        m_audio[track]->Finish();
    m_soundEnded[track] = true;
}

void ClipEncoder::WriteHeld(bool last)
{
    std::vector<AudioPacket> packets;
    m_lastAudioBytes = 0;
    for (size_t t = 0; t < m_audio.size(); ++t) {
        if (last)
            EndSound(t);
        const uint64_t due = SamplesDueBy(m_layout.Frames() + 1, m_settings.tracks[t].sampleRate, m_format);
        packets.push_back(m_audio[t]->TakePacket(due));
        m_lastAudioBytes += packets.back().blocks.size();
    }
    m_sink.Write(m_layout.Frame(m_heldFrame.bytes, packets, m_heldFrame.key));
    m_held = false;
}

void ClipEncoder::PushPicture(const PictureView& picture)
{
    if (m_held)
        WriteHeld(false);
    m_heldFrame = m_video.Encode(picture, m_lastAudioBytes);
    m_held = true;
}

std::vector<uint8_t> ClipEncoder::Finish()
{
    if (!m_held)
        throw std::logic_error("a clip of no pictures");
    WriteHeld(true);
    return m_layout.Head();
}

} // namespace bink
