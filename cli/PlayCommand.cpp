// FFmpeg's subfile protocol reads a span of a file as a file of its
// own, so a player reads the clip straight from the archive; no copy is made.
#include "cli/PlayCommand.h"

#include "catalogue/ClipTexts.h"
#include "cli/Archive.h"
#include "cli/ExitStatus.h"
#include "cli/Reporting.h"
#include "file/PathNames.h"
#include "file/ProgramRun.h"
#include "file/SystemError.h"


namespace {

const char DEFAULT_PLAYER[] = "ffplay";
// Where ffplay comes from, as the system in hand has it (from the build).
#ifndef ZODOVU_FFPLAY_HINT
#define ZODOVU_FFPLAY_HINT "install FFmpeg"
#endif

struct ClipLocation {
    std::string url;     // "subfile,,start,START,end,END,,:PATH", end exclusive
    std::string title;   // the list's label
    bool salvaged;       // from a damaged archive (--salvage)
};

// The archive is named by its absolute path: FFmpeg then reads it with its file
// protocol whatever the path holds (':' or ',' too). A clip cut short by the
// end of the archive is refused, as extract refuses to stream one.
ClipLocation LocateClip(const ClipRequest& request, RunState& run)
{
    LoadedArchive archive;
    LoadAcceptedArchive(request.archive, run, archive);
    if (static_cast<uint32_t>(request.number) > archive.clips->nCount)
        ThrowNoSuchClip(request.archive, request.number, archive.clips->nCount);
    const uint32_t index = static_cast<uint32_t>(request.number - 1);
    const ClipSpan span = GetClipSpan(archive.clips->aRecords[index], request.low ? Resolution::Low : Resolution::High);
    if (ClipSpanEnd(span) > archive.length) {
        throw CFailure(request.archive, "clip " + std::to_string(request.number) +
                                                   " runs past the end of the archive (the copy is cut short)");
    }
    return {"subfile,,start," + std::to_string(span.offset) + ",end," + std::to_string(ClipSpanEnd(span)) + ",,:" +
                AbsolutePath(request.archive),
            FormatClipLabel(archive.disc.disc, index), archive.salvaged};
}

} // namespace

int RunUrl(const ClipRequest& request, RunState& run)
{
    const ClipLocation location = LocateClip(request, run);
    run.report.PrintName(location.url);
    return location.salvaged ? EXIT_FAILED : EXIT_OK;
}

int RunPlay(const ClipRequest& request, RunState& run)
{
    const ClipLocation location = LocateClip(request, run);
    // -autoexit: the window closes when the clip ends, as a clip player's should.
    const std::vector<std::string> arguments =
        request.player.empty()
            ? std::vector<std::string>{DEFAULT_PLAYER, "-hide_banner", "-autoexit", "-window_title", location.title,
                                       location.url}
            : std::vector<std::string>{request.player, location.url};
    const ProgramRun player = RunProgram(arguments);
    if (player.notFound && player.missing != arguments[0])
        throw CFailure(arguments[0], "its interpreter " + player.missing + " is not found");
    if (player.notFound && request.player.empty())
        throw CFailure(arguments[0], std::string("not found; ") + ZODOVU_FFPLAY_HINT +
                                         ", or name another player with --player");
    if (player.notFound)
        throw CFailure(arguments[0], "not found; install it, or give --player the name or path of an "
                                     "installed player");
    if (player.startError != 0)
        throw CFailure(arguments[0], "cannot be started: " + SystemErrorText(player.startError));
    if (player.waitError != 0)
        throw CFailure(arguments[0], "cannot learn how it ended: " + SystemErrorText(player.waitError));
    // The player's own failure is the more telling status.
    return player.status == 0 && location.salvaged ? EXIT_FAILED : player.status;
}
