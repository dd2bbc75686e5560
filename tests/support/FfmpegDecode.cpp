#include "FfmpegDecode.h"

#include "FileContents.h"

using testsupport::ReadWholeFile;
using testsupport::ScratchFolder;

#include <cstdio>

Decoded Ffmpeg(const ScratchFolder& folder, const std::string& file, const std::string& output)
{
    const std::string err = folder / "ffmpeg.err";
    const std::string command = "'" FFMPEG "' -nostdin -v error -xerror -i '" + folder / file + "' " + output +
                                " - 2>'" + err + "'";
    Decoded decoded{};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, {}, "cannot start " + command};
    uint8_t buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        decoded.out.insert(decoded.out.end(), buffer, buffer + n);
    decoded.status = pclose(pipe);
    decoded.err = ReadWholeFile(err);
    return decoded;
}

Decoded DecodeVideo(const ScratchFolder& folder, const std::string& file)
{
    return Ffmpeg(folder, file, "-map 0:v -f rawvideo -pix_fmt yuv420p");
}

std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<std::vector<uint8_t>>& want)
{
    size_t at = 0;
    for (size_t frame = 0; frame < want.size(); ++frame) {
        for (size_t i = 0; i < want[frame].size(); ++i, ++at) {
            if (at >= got.size())
                return "the decoded frames end in frame " + std::to_string(frame);
            if (got[at] != want[frame][i]) {
                return "frame " + std::to_string(frame) + ", byte " + std::to_string(i) + ": " +
                       std::to_string(got[at]) + ", not " + std::to_string(want[frame][i]);
            }
        }
    }
    return got.size() == at ? "" : "more frames decoded than written";
}
