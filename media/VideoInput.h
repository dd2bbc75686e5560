#pragma once
// Any file FFmpeg reads, as the source of an encoding: its best video stream
// and its best sound stream (when it has one), decoded in the file's order.
// The file is read through the file layer. Every failure throws CFailure
// naming the file: "film.mkv: at 0:12.4: Invalid NAL unit size".
#include "file/File.h"
#include "media/FfmpegPtr.h"
#include "media/FileIo.h"
#include "media/MediaError.h"

#include <memory>
#include <string>

class VideoInput {
public:
    // Throws for a file that cannot be opened or read as a video, or that
    // has no video stream.
    explicit VideoInput(const std::string& path);
    ~VideoInput();
    VideoInput(const VideoInput&) = delete;
    VideoInput& operator=(const VideoInput&) = delete;

    const std::string& Subject() const { return m_path; }
    const AVCodecContext* Video() const { return m_video.decoder.get(); }
    // Null without sound.
    const AVCodecContext* Audio() const { return m_audio.decoder.get(); }
    // What the video's and the sound's timestamps count.
    AVRational VideoTimeBase() const;
    AVRational AudioTimeBase() const;
    // Where the file starts, as AV_TIME_BASE counts: the time both streams'
    // timestamps are taken from, so that they stay together.
    int64_t Start() const;
    // How long the file says it lasts, in seconds; 0 when it does not say.
    double Duration() const;

    enum class Got { Picture, Sound, End };
    // Decodes up to the next picture or piece of sound, into frame; End once
    // both decoders have given all they hold.
    Got Next(AVFrame* frame);

private:
    struct Stream {
        int index = -1;
        std::unique_ptr<FfmpegLog> log;
        CodecPtr decoder;
        bool drained = false;
    };
    void Open(Stream& stream, const char* what);
    void ReadPacket();

    const std::string m_path;
    CFile m_file;
    FfmpegLog m_log;
    std::unique_ptr<FileIo> m_io;
    DemuxerPtr m_format;   // freed before the I/O it reads through
    Stream m_video, m_audio;
    PacketPtr m_packet;
    bool m_ended = false;
    double m_seconds = 0;   // where the last packet read lies
};
