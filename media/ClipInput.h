#pragma once
// One encoding of one clip as FFmpeg's demuxer sees it: a Bink file of its own,
// read through the file layer from the archive's open file and bounded to the
// clip's span, with no copy and no URL. Several inputs may read one archive at
// once (CFile::ReadAt).
#include "catalogue/ClipTable.h"
#include "file/File.h"

#include <cstdint>
#include <exception>
#include <string>

struct AVFormatContext;
struct AVIOContext;

// The answer to one of FFmpeg's seeks on a byte stream of size bytes now at
// position: the new position, the size for AVSEEK_SIZE, or an error code.
int64_t SeekTarget(int64_t size, uint64_t position, int64_t offset, int whence);

class ClipInput {
public:
    // Opens the demuxer on the span; throws CFailure naming subject, or the
    // file's own error.
    ClipInput(CFile& archive, const ClipSpan& span, std::string subject);
    ~ClipInput();
    ClipInput(const ClipInput&) = delete;
    ClipInput& operator=(const ClipInput&) = delete;

    AVFormatContext* Format() const { return m_format; }
    const std::string& Subject() const { return m_subject; }
    // After a failed FFmpeg call: a file error that a read met inside FFmpeg is
    // the real reason, and is thrown as itself.
    void ThrowReadFailure() const;

private:
    void Close();
    static int Read(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);

    CFile& m_archive;
    const ClipSpan m_span;
    uint64_t m_position = 0;   // within the span
    std::string m_subject;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
    std::exception_ptr m_readFailure;
};
