#include "UrlCommand.h"

#include "ExitStatus.h"
#include "SubfileUrl.h"

#include <cstdio>

CLI::App* AddUrlCommand(CLI::App& app, ClipRequest& request)
{
    CLI::App* command = app.add_subcommand(
        "url", "Print a URL that FFmpeg's tools (ffprobe, ffplay, ffmpeg) read as the clip, without a copy.");
    AddClipRequestOptions(*command, request);
    command->footer("Exit status: 0 success; 1 a rejected archive, a clip past its last one or a clip cut\n"
                    "short by the end of the file; 2 a usage error.");
    return command;
}

int RunUrl(const ClipRequest& request)
{
    ClipLocation location;
    if (!LocateClip(request, location))
        return EXIT_FAILED;
    std::printf("%s\n", SubfileUrl(location.archivePath, location.start, location.end).c_str());
    return EXIT_OK;   // main flushes standard output and reports a failed write
}
