#pragma once
// FFmpeg's subfile protocol reads a span of a file as a file of its own, so its
// tools open a clip inside an archive without a copy.
#include <cstdint>
#include <string>

// "subfile,,start,START,end,END,,:PATH" (end exclusive). PATH must be absolute:
// FFmpeg then reads it with its file protocol whatever it holds (':' or ',' too).
std::string SubfileUrl(const std::string& absolutePath, uint64_t start, uint64_t end);
