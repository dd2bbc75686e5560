#include "PlayCommand.h"

#include "ExitStatus.h"
#include "ProgramRun.h"
#include "Reporting.h"
#include "SubfileUrl.h"

#include <cerrno>
#include <cstring>

namespace {

const char DEFAULT_PLAYER[] = "ffplay";

std::vector<std::string> PlayerArguments(const PlayRequest& request, const ClipLocation& location)
{
    const std::string url = SubfileUrl(location.archivePath, location.start, location.end);
    if (!request.player.empty())
        return {request.player, url};
    // -autoexit: the window closes when the clip ends, as a clip player's should.
    return {DEFAULT_PLAYER, "-hide_banner", "-autoexit", "-window_title", location.title, url};
}

std::string NotFoundAdvice(const PlayRequest& request)
{
    if (request.player.empty())
        return "not found; install it with 'apt-get install ffmpeg' or name another player with --player";
    return "not found; install it, or give --player the name or path of an installed player";
}

} // namespace

CLI::App* AddPlayCommand(CLI::App& app, PlayRequest& request)
{
    CLI::App* command = app.add_subcommand(
        "play", "Play the clip straight from the archive with ffplay or another player.");
    AddClipRequestOptions(*command, request.clip);
    command
        ->add_option("--player", request.player,
                     "The program to start instead of ffplay; it gets the clip's URL as its last argument.")
        ->check(CLI::Validator(
            [](std::string& program) { return program.empty() ? std::string("no program named") : std::string(); },
            "PROGRAM"));
    command->footer("Exit status: the player's own (128+N when signal N ended it); 1 a rejected archive,\n"
                    "a clip cut short, or a player that cannot be started; 2 a usage error (also a\n"
                    "clip past the archive's last one).");
    return command;
}

int RunPlay(const PlayRequest& request)
{
    ClipLocation location;
    if (!LocateClip(request.clip, location))
        return EXIT_FAILED;

    const std::vector<std::string> arguments = PlayerArguments(request, location);
    const ProgramRun run = RunProgram(arguments);
    if (run.startError == ENOENT)
        return ReportFailure(arguments[0], NotFoundAdvice(request));
    if (run.startError != 0)
        return ReportFailure(arguments[0], std::string("cannot be started: ") + std::strerror(run.startError));
    if (run.waitError != 0)
        return ReportFailure(arguments[0], std::string("cannot learn how it ended: ") + std::strerror(run.waitError));
    return run.status;
}
