#pragma once
// One encoding of a clip converted for any player: its pictures encoded as
// H.264 (libx264) in MP4 or as VP9 (libvpx-vp9) in WebM, at the clip's own
// picture size and frame rate, every frame in order with its timing, and its
// sound, when it has any, as AAC or Opus, padded with silence or cut to the
// length of the pictures. The file is written through the file layer: an MP4
// written to a file has its index at the front (the muxer reads the file back
// to move it there); one written to a stream (a pipe) is fragmented, so that a
// player starts on it while it comes.
#include "catalogue/ClipTable.h"

#include <atomic>
#include <cstdint>
#include <string>

class CFile;

struct OutputFormat;

struct ConversionOptions {
    const OutputFormat* format = nullptr;   // null: the default (OutputFormats.h)
    int crf = -1;              // -1: the format's default
    std::string preset;        // the video encoder's speed preset; empty: the format's default
    unsigned threads = 1;      // each encoder's threads
    bool conceal = false;      // a frame that does not decode is concealed (ClipDecoder.h), not thrown
};

// Decodes the encoding of the clip that span holds in archive and writes it,
// converted, to output from its current position. stream: the output cannot
// seek or be read back (a pipe, a device). framesDone, when given, counts the
// pictures encoded so far, for another thread to read. Hand it only an encoding
// that CheckEncoding passes. Every failure of a decoder, an encoder or the
// muxer throws CFailure naming subject ("clip 12 (high-res.)") and the frame
// ("frame 17 of 45: ..."); a file error, the archive's or the output's, throws
// as itself. It reads the archive with CFile::ReadAt alone, so several may run
// on one archive at once. Returns, with options.conceal, what was concealed
// ("clip 12 (high-res.): 1 frame concealed: frame 17 of 45: ..."); else, or
// when nothing was, an empty text.
std::string ConvertEncoding(CFile& archive, const ClipSpan& span, const std::string& subject, CFile& output,
                            bool stream, const ConversionOptions& options,
                            std::atomic<uint32_t>* framesDone = nullptr);
