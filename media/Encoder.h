#pragma once
// One encoder of a conversion, with its stream in the muxer: frames in,
// packets out to the muxer as soon as the encoder has them.
#include "media/FfmpegPtr.h"
#include "media/MediaError.h"

#include <string>

class Dictionary;
class Muxer;

class Encoder {
public:
    // name's encoder (libx264, aac...), to be set up through Context() and
    // then opened; throws CFailure when this FFmpeg has none. what names it
    // in the failures of its frames: "the libx264 encoder", "its sound: the
    // aac encoder".
    Encoder(const char* name, Muxer& muxer, const std::string& subject, std::string what);

    AVCodecContext* Context() const { return m_context.get(); }
    const AVCodec* Codec() const { return m_context->codec; }
    FfmpegLog& Log() { return m_log; }
    AVStream* Stream() const { return m_stream; }   // once open
    // Opens it with settings and adds its stream to the muxer. A setting it
    // does not take is an error, naming it: an option dropped in silence
    // would give another file than asked for.
    void Open(Dictionary& settings);
    // Encodes frame, or ends the stream for null, and hands the muxer every
    // packet ready.
    void Send(const AVFrame* frame);

private:
    const std::string m_name;
    const std::string m_what;
    Muxer& m_muxer;
    FfmpegLog m_log;
    CodecPtr m_context;
    PacketPtr m_packet;
    AVStream* m_stream = nullptr;
};
