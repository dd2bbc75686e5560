#pragma once
// The command line of zodovu-cli, read into what each subcommand is asked.
#include "Commands.h"

#include <stdexcept>
#include <string>

enum class Subcommand { None, List, Extract, Convert, Verify, Index, Url, Play, Help };

// A usage error: the command line cannot be run as it stands. One found only
// once the archive is read (a clip number past its last clip) is thrown by the
// subcommand and reported in the same way.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A subcommand that this build does not have (the Windows build decodes
// nothing): said in one line, with a usage error's status.
class NotInThisBuild : public UsageError {
public:
    using UsageError::UsageError;
};

// The usage error of a clip number past the archive's last clip.
[[noreturn]] void ThrowNoSuchClip(const std::string& archive, int number, uint32_t count);

struct CommandLine {
    Subcommand command = Subcommand::None;
    bool showHelp = false;        // --help, or help [SUBCOMMAND]: command's help
    bool showVersion = false;
    ListRequest list;
    ExtractRequest extract;
    ConvertRequest convert;
    VerifyRequest verify;
    IndexRequest index;
    ClipRequest clip;             // url and play
    std::string discTitle;        // --disc D as the file title that decides: "disc2.pak"
};

const char* SubcommandName(Subcommand command);
// text with ASCII's capitals made small, and nothing else changed.
std::string AsciiLower(std::string text);
// False when name is no subcommand.
bool FindSubcommand(const std::string& name, Subcommand& command);

// Reads the arguments. A usage error throws UsageError, with reading set to
// the subcommand being read (None before one), for the usage line.
CommandLine ParseCommandLine(int argc, const char* const* argv, Subcommand& reading);
