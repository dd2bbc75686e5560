#pragma once
// The pictures and the sound of one encoding of a clip, decoded in order with
// FFmpeg's own decoders. Every failure throws CFailure naming the input's
// subject, and the frame: "frame 17 of 45: Invalid block type 9". Frames are
// counted from 1, and a frame's sound, stored before its picture, counts as
// that frame's.
//
// Nothing in a header makes the work outgrow the clip: a clip without frames,
// or with a sound track at a rate no clip has, is refused, and the sound is
// cut to the pictures' length as it is decoded (a track that says it holds
// more is decoded no further).
#include "media/ClipInput.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Sample rates a clip's sound may have: from telephone sound to the DAT rate.
// Bink's header has room for any rate to 65535 Hz; one outside these is a
// damaged header (at 1 Hz a block of 512 samples would play for minutes).
constexpr int LOWEST_SAMPLE_RATE = 8000;
constexpr int HIGHEST_SAMPLE_RATE = 48000;

struct DecodingRules {
    // A frame that does not decode is concealed instead of thrown: the picture
    // before it shown again (black before the first), its sound silence for as
    // long as its packet says it lasts. The Bink video decoder goes on from
    // its last good picture, so the picture repeated is the one the next
    // frames are built on. A frame the demuxer cannot read ends the reading:
    // it and the frames after it are concealed.
    bool conceal = false;
    // Every sound track decoded, not the first alone (a check of every frame).
    bool everyTrack = false;
};

class ClipDecoder {
public:
    // Throws for a clip without frames, or with a sound track to decode at a
    // rate outside LOWEST_SAMPLE_RATE to HIGHEST_SAMPLE_RATE.
    ClipDecoder(ClipInput& input, DecodingRules rules = {});
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
    // Pictures given so far, concealed ones too.
    uint32_t FramesDecoded() const { return m_framesDecoded; }
    // The frame whose packets were read last, 1-based: where a failure of its
    // sound belongs.
    uint32_t CurrentFrame() const { return m_frame; }
    const AVCodecContext* Video() const { return m_video.get(); }
    // Null for a clip without sound: the first track's decoder.
    const AVCodecContext* Audio() const;

    // Decodes up to the next picture; null after the last. The picture stays
    // valid until the next call. The first track's sound decoded on the way
    // goes to onAudio, silence for what was concealed too.
    AVFrame* NextVideoFrame();
    std::function<void(AVFrame& sound)> onAudio;

    // Frames concealed so far; the first one's number (0: none) and its
    // failure as it would have been thrown ("clip 2 (high-res.): frame 4 of
    // 10: Unknown block type 9").
    uint32_t FramesConcealed() const { return m_concealed; }
    uint32_t FirstConcealed() const { return m_firstConcealed; }
    std::string FirstFault() const;
    // "clip 2 (high-res.): 1 frame concealed: frame 4 of 10: ...", empty when none.
    std::string ConcealedText() const;

private:
    struct SoundTrack {
        int stream;
        std::unique_ptr<FfmpegLog> log;
        CodecPtr decoder;
        int64_t samples = 0;   // taken so far
        int64_t limit = 0;     // the pictures' length at its rate
    };

    CodecPtr OpenDecoder(int stream, FfmpegLog& log);
    void OpenSound(int stream, unsigned number);
    AVFrame* Decode();
    void ReadPacket();
    void CheckFrameSize() const;
    void SendSound(SoundTrack& track);
    void TakeSound(SoundTrack& track, AVFrame& sound);
    // Runs step; with concealment, a CFailure it throws is counted against the
    // current frame instead, and false returned.
    template <typename Step>
    bool Concealing(Step step);
    void Conceal(const std::string& fault, uint32_t frame);
    AVFrame* ShowAgain();

    ClipInput& m_input;
    const DecodingRules m_rules;
    int m_videoStream = -1;
    unsigned m_streamsWithSound = 0;   // in the file, decoded or not
    FfmpegLog m_videoLog;
    CodecPtr m_video;
    std::vector<SoundTrack> m_sound;   // the first track first
    PacketPtr m_packet;
    FramePtr m_picture;
    FramePtr m_lastGood;               // the last picture decoded
    FramePtr m_sample;                 // a sound frame
    uint32_t m_frameCount = 0;
    uint32_t m_frame = 0;              // the frame being read, 1-based
    uint32_t m_videoPackets = 0;       // read from the file
    uint32_t m_framesDecoded = 0;
    bool m_frameRead = true;           // the next packet starts a frame
    bool m_ended = false;
    bool m_pictureLost = false;        // the last video packet did not decode
    uint32_t m_concealed = 0;
    uint32_t m_firstConcealed = 0;
    uint32_t m_lastConcealed = 0;
    std::string m_firstFault;          // its reason, after the subject
};
