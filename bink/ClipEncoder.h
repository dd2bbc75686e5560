#pragma once
// A whole Bink file from pictures and sound: every frame holds the sound due
// by its end, coded by our audio encoder, and the picture coded by our video
// encoder, whose rate counts the sound too. The frames go to a sink as they
// are made (memory stays flat however long the clip); the head, which must
// come first in the file, is given at the end, when the index is known.
#include "bink/AudioEncoder.h"
#include "bink/BinkFile.h"
#include "bink/VideoEncoder.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace bink {

class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void Write(const std::vector<uint8_t>& bytes) = 0;
};

struct ClipSettings {
    VideoSettings video;
    std::vector<AudioTrack> tracks;
    int audioQuality = DEFAULT_AUDIO_QUALITY;
};

class ClipEncoder {
public:
    // Throws std::invalid_argument for settings either encoder refuses.
    ClipEncoder(const ClipSettings& settings, FrameSink& frames);

    // A track's sound, interleaved, any amount at a time. Push it ahead of
    // the pictures: the next picture wants SoundWanted(track) samples a
    // channel pushed, or the track's end.
    void PushSound(size_t track, const int16_t* samples, size_t samplesPerChannel);
    uint64_t SoundWanted(size_t track) const;
    // The track has no more sound; the frames after it stay silent.
    void EndSound(size_t track);

    // Codes the next picture. The frame is written when the next one comes,
    // or at Finish, which gives it the sound up to its end.
    void PushPicture(const PictureView& picture);

    // Ends the clip (sound past the last picture is left out) and returns the
    // bytes that come before the frames. Throws std::logic_error without a picture.
    std::vector<uint8_t> Finish();

    uint32_t Frames() const { return m_layout.Frames() + (m_held ? 1 : 0); }
    // The file's length so far, head included.
    uint64_t FileSize() const { return m_layout.FileSize(); }
    const VideoEncoder& Video() const { return m_video; }

private:
    void WriteHeld(bool last);

    ClipSettings m_settings;
    FrameSink& m_sink;
    VideoEncoder m_video;
    VideoFormat m_format;
    std::vector<std::unique_ptr<AudioEncoder>> m_audio;
    std::vector<bool> m_soundEnded;
    BinkFileLayout m_layout;
    bool m_held = false;
    VideoFrame m_heldFrame;
    size_t m_lastAudioBytes = 0;
};

} // namespace bink
