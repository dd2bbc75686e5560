#pragma once
// One encoding of one clip as FFmpeg's demuxer sees it: a Bink file of its own,
// read through the file layer from the archive's open file and bounded to the
// clip's span (FileIo). Several inputs may read one archive at once.
#include "catalogue/ClipTable.h"
#include "media/FfmpegPtr.h"
#include "media/FileIo.h"
#include "media/MediaError.h"

#include <string>

class ClipInput {
public:
    // Opens the demuxer on the span; throws CFailure naming subject, or the
    // file's own error.
    ClipInput(CFile& archive, const ClipSpan& span, std::string subject);

    AVFormatContext* Format() const { return m_format.get(); }
    const std::string& Subject() const { return m_subject; }
    // The demuxer's record: its calls go through it.
    FfmpegLog& Log() { return m_log; }

private:
    const std::string m_subject;
    FfmpegLog m_log;
    FileIo m_io;
    DemuxerPtr m_format;   // freed before the I/O it reads through
};
