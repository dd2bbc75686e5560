#pragma once
// The command line of zodovu-cli, read into what its subcommand is asked.
#include "Requests.h"

#include <string>

struct Subcommand;

struct CommandLine {
    const Subcommand* command = nullptr;   // null: none (the tool's own help, the version)
    bool showHelp = false;        // --help, or help [SUBCOMMAND]: command's help
    bool showVersion = false;
    ListRequest list;
    ExtractRequest extract;
    ConvertRequest convert;
    VerifyRequest verify;
    IndexRequest index;
    ClipRequest clip;             // url and play
    std::string discTitle;        // --disc D as the file title that decides: "disc2.pak"

    // Whether running it decodes clips (Subcommand::decoding).
    bool Decodes() const;
};

// text with ASCII's capitals made small, and nothing else changed.
std::string AsciiLower(std::string text);

// Reads the arguments. A usage error throws UsageError, with reading set to
// the subcommand being read (null before one), for the usage lines.
CommandLine ParseCommandLine(int argc, const char* const* argv, const Subcommand*& reading);
