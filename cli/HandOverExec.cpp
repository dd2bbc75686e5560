#include "DecodingHandOver.h"

#include "PathNames.h"
#include "ProgramRun.h"
#include "SystemError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char DECODING_PROGRAM[] = "zodovu-cli-decode";

// The subcommand is the first word that is no option (the tool's own options
// take no values); verify decodes with --frames, which the parser also takes
// with a value ("--frames=true"; "=false" goes on there too, to be read as such).
bool Decodes(int argc, char** argv)
{
    int first = 1;
    while (first < argc && argv[first][0] == '-')
        ++first;
    if (first >= argc)
        return false;
    const std::string command = argv[first];
    if (command == "convert" || command == "index")
        return true;
    if (command != "verify")
        return false;
    for (int i = first + 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--frames") == 0 || std::strncmp(argv[i], "--frames=", 9) == 0)
            return true;
    return false;
}

} // namespace

void HandOverDecodingCommands(int argc, char** argv)
{
    if (!Decodes(argc, argv))
        return;
    const std::string own = OwnProgramPath();
    if (own.empty()) {
        // Without this program's own folder the names below would be looked
        // up in the current folder, which may hold anyone's program.
        std::fprintf(stderr, "zodovu-cli: %s: not found, as the folder of zodovu-cli cannot be told (convert, index "
                             "and verify --frames need it)\n", DECODING_PROGRAM);
        std::exit(1);
    }
    const std::string folder = FolderOf(own);
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::string beside = folder + DECODING_PROGRAM;
    const std::string installed = folder + "../libexec/zodovu-cli/" + DECODING_PROGRAM;
    // The one beside this program, when there is one, is the one meant: a
    // failure to start it is its own, and said as such.
    long error = ReplaceProgram(beside, arguments);
    const std::string* tried = &beside;
    if (error == ENOENT) {
        error = ReplaceProgram(installed, arguments);
        tried = &installed;
    }
    // Nothing has been written yet: say it the tool's way and end.
    std::fprintf(stderr, "zodovu-cli: %s: %s (convert, index and verify --frames need it)\n", tried->c_str(),
                 SystemErrorText(error).c_str());
    std::exit(1);
}
