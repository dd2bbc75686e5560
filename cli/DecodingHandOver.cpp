// The plain zodovu-cli on Linux: the decoding commands go on in
// zodovu-cli-decode, the same program with FFmpeg's libraries. It is looked for
// beside this program (the build tree), then where the build installs it,
// whose path from this program's folder the build gives
// (ZODOVU_DECODING_FOLDER, "../libexec/zodovu-cli" unless configured otherwise).
#include "cli/Decoding.h"
#include "cli/HelpTexts.h"
#include "cli/Subcommands.h"
#include "file/PathNames.h"
#include "file/ProgramRun.h"
#include "file/SystemError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char DECODING_PROGRAM[] = "zodovu-cli-decode";

// "(convert, verify --frames and index need it)", in the table's order
std::string WhoNeedsIt()
{
    std::vector<std::string> names;
    for (const Subcommand& command : Subcommands())
        if (command.decoding)
            names.push_back(command.decoding);
    return "(" + Listed(names, " and") + (names.size() == 1 ? " needs it)" : " need it)");
}

// Nothing has been written yet: said the tool's way, and the run ends.
[[noreturn]] void Fail(const std::string& subject, const std::string& reason)
{
    std::fprintf(stderr, "zodovu-cli: %s: %s %s\n", subject.c_str(), reason.c_str(), WhoNeedsIt().c_str());
    std::exit(1);
}

} // namespace

bool BuildDecodes()
{
    return true;
}

const DecodingCommands& ReachDecoding(const Subcommand&, int argc, char** argv)
{
    const std::string own = OwnProgramPath();
    // Without this program's own folder the names below would be looked up in
    // the current folder, which may hold anyone's program.
    if (own.empty())
        Fail(DECODING_PROGRAM, "not found, as the folder of zodovu-cli cannot be told");
    const std::string folder = FolderOf(own);
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::string beside = folder + DECODING_PROGRAM;
    const std::string installed = folder + ZODOVU_DECODING_FOLDER + "/" + DECODING_PROGRAM;
    // The one beside this program, when there is one, is the one meant: a
    // failure to start it is its own, and said as such.
    long error = ReplaceProgram(beside, arguments);
    const std::string* tried = &beside;
    if (error == ENOENT) {
        error = ReplaceProgram(installed, arguments);
        tried = &installed;
    }
    Fail(*tried, SystemErrorText(error));
}
