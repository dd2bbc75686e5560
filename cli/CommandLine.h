#pragma once
// The command line of zodovu-cli, as read (CommandLineParser.h): the
// subcommand, and what it is asked.
#include "cli/Requests.h"

#include <string>

struct Subcommand;

struct CommandLine {
    const Subcommand* command = nullptr;   // null: none (the tool's own help, the version)
    bool showHelp = false;        // --help, or help [SUBCOMMAND]: command's help
    bool showVersion = false;
    ListRequest list;
    ExtractRequest extract;
    ConvertRequest convert;
    EncodeRequest encode;
    VerifyRequest verify;
    IndexRequest index;
    ClipRequest clip;             // url and play
    ReplaceRequest replace;
    PackRequest pack;
    std::string discTitle;        // --disc D as the file title that decides: "disc2.pak"
    bool salvage = false;         // --salvage
};
