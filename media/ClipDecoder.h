#pragma once
// The pictures and the sound of one encoding of a clip, decoded in order with
// FFmpeg's own decoders. Every failure throws CFailure naming the input's
// subject, and the frame: "frame 17 of 45: Invalid block type 9".
#include "media/ClipInput.h"

#include <cstdint>
#include <functional>

struct AVCodecContext;
struct AVRational;
struct AVFrame;
struct AVPacket;

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
    const AVCodecContext* Video() const { return m_video; }
    // Null for a clip without sound (its first track is the only one decoded).
    const AVCodecContext* Audio() const { return m_audio; }

    // Decodes up to the next picture; null after the last. The picture stays
    // valid until the next call. Sound decoded on the way goes to onAudio.
    const AVFrame* NextVideoFrame();
    std::function<void(const AVFrame& sound)> onAudio;

private:
    AVCodecContext* OpenDecoder(int stream);
    void Release();
    void SendAudio();
    [[noreturn]] void FailAt(const std::string& what, int code) const;

    ClipInput& m_input;
    int m_videoStream = -1;
    int m_audioStream = -1;
    AVCodecContext* m_video = nullptr;
    AVCodecContext* m_audio = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_picture = nullptr;
    AVFrame* m_sound = nullptr;
    uint32_t m_frameCount = 0;
    uint32_t m_framesRead = 0;      // video packets taken from the file
    uint32_t m_framesDecoded = 0;
    bool m_ended = false;
};
