#pragma once
// The muxer of a conversion, writing the output through FileIo from where it
// stands. An MP4 written to a file has its index moved to the front: the
// muxer reads the finished file back for it, through a FileIo of its own on
// the same open file. One written to a stream (a pipe, a device) cannot seek
// or be read back, and takes each packet as it is made.
#include "media/FfmpegPtr.h"
#include "media/FileIo.h"
#include "media/MediaError.h"

#include <memory>
#include <string>

struct NamedSetting;
struct OutputFormat;

class Muxer {
public:
    Muxer(const OutputFormat& format, CFile& output, bool stream, const std::string& subject);

    AVFormatContext* Context() const { return m_muxer.get(); }
    FfmpegLog& Log() { return m_log; }
    // The stream of an open encoder, its parameters taken from it.
    AVStream* AddStream(const AVCodecContext& encoder, const std::string& encoderName);
    // The file's header, written after the format's settings are known to be
    // the muxer's: one it does not take fails, naming it.
    void Start();
    // Takes packet's reference, interleaving the streams.
    void Write(AVPacket* packet);
    // The file's end, and every byte handed to the output.
    void Finish();

private:
    static int OpenReadBack(AVFormatContext* muxer, AVIOContext** io, const char* url, int flags,
                            AVDictionary** options);
    static int CloseReadBack(AVFormatContext* muxer, AVIOContext* io);

    const OutputFormat& m_format;
    CFile& m_output;
    const bool m_stream;
    const std::string m_what;   // "the mp4 muxer"
    FfmpegLog m_log;
    uint64_t m_start = 0;       // where the output stood: the file FFmpeg sees begins there
    std::unique_ptr<FileIo> m_io;
    MuxerPtr m_muxer;           // freed before the I/O it writes through
};
