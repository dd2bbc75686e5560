// zodovu-cli: lists the clips of a disc archive, extracts clips with the
// catalogue and the copy of the viewer, checks archives, and hands a clip to a player.
#include "ExitStatus.h"
#include "ExtractOptions.h"
#include "FileException.h"
#include "ListCommand.h"
#include "PlayCommand.h"
#include "Reporting.h"
#include "VerifyCommand.h"
#include "UrlCommand.h"
#include "Usage.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>

namespace {

const char VERSION_TEXT[] = "zodovu-cli 1.1";

struct Arguments {
    ListRequest list;
    ExtractRequest extract;
    VerifyRequest verify;
    ClipRequest url;
    PlayRequest play;
    std::string helpTopic;
};

struct Commands {
    const CLI::App* list;
    const CLI::App* extract;
    const CLI::App* verify;
    const CLI::App* url;
    const CLI::App* play;
    const CLI::App* help;
};

int RunParsed(const CLI::App& app, const Commands& commands, const Arguments& arguments)
{
    if (commands.list->parsed())
        return RunList(arguments.list);
    if (commands.extract->parsed())
        return RunExtract(arguments.extract);
    if (commands.verify->parsed())
        return RunVerify(arguments.verify);
    if (commands.url->parsed())
        return RunUrl(arguments.url);
    if (commands.play->parsed())
        return RunPlay(arguments.play);
    return RunHelp(app, arguments.helpTopic);   // the one left: a subcommand is required
}

// A full disk or a closed reader may show only when the buffered output goes out:
// a listing that never arrived is not a success. The caller clears errno before
// the output begins, so that a failed write's reason is still there.
int CheckStandardOutput(int status)
{
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
    if (!failed || status != EXIT_OK)
        return status;
    const int error = errno;
    std::fprintf(stderr, "zodovu-cli: standard output: %s\n", error ? std::strerror(error) : "write error");
    return EXIT_FAILED;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Lists the movie clips of a disc archive, extracts them as .bik files and plays them.",
                 "zodovu-cli"};
    app.set_version_flag("--version", VERSION_TEXT);
    app.require_subcommand(1);
    app.footer("Exit status: 0 success; 1 a rejected archive or a failed operation; 2 a usage error.\n"
               "play exits with the player's own status.");

    Arguments arguments;
    // In the order the help lists them (a braced list is evaluated in order).
    const Commands commands{AddListCommand(app, arguments.list), AddExtractCommand(app, arguments.extract),
                            AddVerifyCommand(app, arguments.verify), AddUrlCommand(app, arguments.url),
                            AddPlayCommand(app, arguments.play), AddHelpCommand(app, arguments.helpTopic)};

    const std::string unknown = UnknownSubcommand(app, argc, argv);
    if (!unknown.empty())
        return ReportUnknownSubcommand(app, unknown);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        errno = 0;
        return CheckStandardOutput(app.exit(e));   // --help or --version, on stdout
    } catch (const CLI::ParseError& e) {
        return ReportUsageError(app, e.what());
    }

    try {
        errno = 0;
        return CheckStandardOutput(RunParsed(app, commands, arguments));
    } catch (const UsageError& e) {
        return ReportUsageError(app, e.what());
    } catch (const CException& e) {
        return ReportFailure(e);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zodovu-cli: %s\n", e.what());
        return EXIT_FAILED;
    }
}
