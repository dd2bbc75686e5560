#pragma once
// FFmpeg's byte I/O (an AVIOContext) over our file class, for the demuxer and
// the muxer, with no copy and no URL: FFmpeg sees a window of the file, from
// an offset on, either of a fixed size (a clip's span in its archive) or up to
// the file's end as it is at each look (a conversion's output). Reading is at
// the window's own position with CFile::ReadAt, never the file's, so several
// readers share one open file; writing goes on at the file's own position.
//
// No exception may cross FFmpeg's C frames: a file error in a callback is kept
// in the owner's FfmpegLog, the callback fails with EIO, and the FFmpeg call
// that fails of it throws it as itself.
#include "file/File.h"
#include "media/FfmpegPtr.h"

#include <cstdint>

class FfmpegLog;

class FileIo {
public:
    static constexpr uint64_t TO_THE_END = UINT64_MAX;
    enum class Access { Read, Write, WriteOnce };   // WriteOnce: a stream, which cannot seek

    // The window of file from offset, size bytes of it (TO_THE_END: up to its
    // end). Context() is null when there was no memory for it.
    FileIo(CFile& file, Access access, uint64_t offset, uint64_t size, FfmpegLog& log);
    FileIo(const FileIo&) = delete;
    FileIo& operator=(const FileIo&) = delete;

    AVIOContext* Context() const { return m_context.get(); }
    // The FileIo that made context, which it is the opaque of.
    static FileIo* Of(AVIOContext* context);

private:
    int64_t Size() const;
    static int Read(void* opaque, uint8_t* buffer, int size);
    static int Write(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);

    CFile& m_file;
    const Access m_access;
    const uint64_t m_offset;
    const uint64_t m_size;
    uint64_t m_position = 0;   // within the window
    bool m_broken = false;     // a write failed: the output is lost whatever comes after
    FfmpegLog& m_log;
    IoPtr m_context;
};
