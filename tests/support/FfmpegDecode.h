#pragma once
// FFmpeg's own decoding of a file, through the ffmpeg program: the outside
// judge of the Bink files we write.
#include "ScratchFolder.h"

#include <cstdint>
#include <string>
#include <vector>

using testsupport::ScratchFolder;

struct Decoded {
    int status;
    std::vector<uint8_t> out;
    std::string err;
};

// ffmpeg on file in folder, stopping at the first error, with output to standard output.
Decoded Ffmpeg(const ScratchFolder& folder, const std::string& file, const std::string& output);

// The video as planar 8-bit Y, U, V frames one after another.
Decoded DecodeVideo(const ScratchFolder& folder, const std::string& file);

// Where two runs of decoded frames first differ, or "" where they are alike.
std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<std::vector<uint8_t>>& want);
