#include "UrlCommand.h"

#include "ExitStatus.h"
#include "SubfileUrl.h"

#include <cstdio>

CLI::App* AddUrlCommand(CLI::App& app, ClipRequest& request)
{
    CLI::App* command = app.add_subcommand(
        "url", "Print a URL that FFmpeg's tools (ffprobe, ffplay, ffmpeg) read as the clip, without a copy.");
    AddClipRequestOptions(*command, request);
    command->footer("Exit status: 0 success; 1 a rejected archive or a clip cut short by the end of the\n"
                    "file; 2 a usage error (also a clip past the archive's last one).");
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
