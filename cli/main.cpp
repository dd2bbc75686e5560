// zodovu-cli: lists the clips of a disc archive and extracts one encoding of a
// clip, with the catalogue and the copy of the viewer.
#include "ExitStatus.h"
#include "ExtractOptions.h"
#include "FileException.h"
#include "ListCommand.h"
#include "Reporting.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>

namespace {

const char VERSION_TEXT[] = "zodovu-cli 1.1";

struct Arguments {
    std::string strListArchive;
    bool bJson = false;
    ExtractRequest extract;
};

int RunParsed(const CLI::App* list, const Arguments& arguments)
{
    if (list->parsed())
        return RunList(arguments.strListArchive, arguments.bJson);
    return RunExtract(arguments.extract);
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
    CLI::App app{"Lists the movie clips of a disc archive and extracts them as .bik files.",
                 "zodovu-cli"};
    app.set_version_flag("--version", VERSION_TEXT);
    app.require_subcommand(1);

    Arguments arguments;
    CLI::App* list = app.add_subcommand("list", "List the clips of ARCHIVE.");
    list->add_flag("--json", arguments.bJson, "One JSON object instead of a table.");
    list->add_option("ARCHIVE", arguments.strListArchive, "The disc archive (.pak).")->required();

    CLI::App* extract = app.add_subcommand("extract", "Extract clips to .bik files, or one clip to stdout.");
    AddExtractOptions(*extract, arguments.extract);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        errno = 0;
        return CheckStandardOutput(app.exit(e));   // --help or --version, on stdout
    } catch (const CLI::ParseError& e) {
        std::cerr << "zodovu-cli: " << e.what() << "\n\n" << app.help();
        return EXIT_USAGE;
    }

    try {
        errno = 0;
        return CheckStandardOutput(RunParsed(list, arguments));
    } catch (const CException& e) {
        return ReportFailure(e);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zodovu-cli: %s\n", e.what());
        return EXIT_FAILED;
    }
}
