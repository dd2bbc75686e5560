#pragma once
// The pictures and the sound of one encoding of a clip, decoded in order with
// FFmpeg's own decoders. Every failure throws CFailure naming the input's
// subject, and the frame: "frame 17 of 45: Invalid block type 9".
#include "media/ClipInput.h"

#include <cstdint>
#include <functional>

class ClipDecoder {
public:
    explicit ClipDecoder(ClipInput& input);
    ~ClipDecoder();
    ClipDecoder(const ClipDecoder&) = delete;
    ClipDecoder& operator=(const ClipDecoder&) = delete;

    // The frames the clip's header counts, and how many a second it shows: the
    // clips play at 15 a second whatever their headers say, as the list counts
    // their lengths.
    uint32_t FrameCount() const { return m_frameCount; }
    AVRational FrameRate() const;
    // Throws "decodes 40 of 45 frames" when the pictures ran out before the count.
    void RequireEveryFrame() const;
    uint32_t FramesDecoded() const { return m_framesDecoded; }
    const AVCodecContext* Video() const { return m_video.get(); }
    // Null for a clip without sound (its first track is the only one decoded).
    const AVCodecContext* Audio() const { return m_audio.get(); }

    // Decodes up to the next picture; null after the last. The picture stays
    // valid until the next call. Sound decoded on the way goes to onAudio.
    AVFrame* NextVideoFrame();
    std::function<void(AVFrame& sound)> onAudio;

private:
    CodecPtr OpenDecoder(int stream, FfmpegLog& log);
    AVFrame* Decode();
    void SendAudio();

    ClipInput& m_input;
    int m_videoStream = -1;
    int m_audioStream = -1;
    FfmpegLog m_videoLog;
    FfmpegLog m_audioLog;
    CodecPtr m_video;
    CodecPtr m_audio;
    PacketPtr m_packet;
    FramePtr m_picture;
    FramePtr m_sound;
    uint32_t m_frameCount = 0;
    uint32_t m_framesRead = 0;      // video packets taken from the file
    uint32_t m_framesDecoded = 0;
    bool m_ended = false;
};
