#pragma once
// FFmpeg's failures in our terms. A library call that fails becomes CFailure,
// its subject the clip and encoding ("clip 12 (high-res.)") and its reason the
// library's own words: the last error it logged on this thread when there is
// one (the decoder's "Invalid block type 9"), else the text of its code.
#include "catalogue/ClipTable.h"
#include "file/FileException.h"

#include <string>

// "clip 12 (high-res.)", "clip 3 (low-res.)" for a 1-based clip number.
std::string EncodingSubject(uint32_t number, Resolution resolution);

// Sends FFmpeg's log to a per-thread record instead of standard error; call
// once before any other use of the libraries.
void QuietenFfmpeg();
// Forgets what was logged on this thread, before a call whose failure is to be told.
void ForgetFfmpegLog();
// The reason for a failed call that returned code.
std::string FfmpegReason(int code);

[[noreturn]] void ThrowFfmpegError(const std::string& subject, const std::string& what, int code);
