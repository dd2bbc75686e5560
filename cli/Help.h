#pragma once
// The tool's own texts about its command line: the help of the tool and of each
// subcommand, written to be read at 80 columns, and the three lines of a usage error.
#include "CommandLine.h"

#include <string>

extern const char VERSION_TEXT[];

// The help of a subcommand, or of the tool for Subcommand::None.
std::string HelpText(Subcommand command);
// "zodovu-cli: MESSAGE", the usage lines of the subcommand (or of the tool)
// and where to read more.
std::string UsageErrorText(const std::string& message, Subcommand command);
// "unknown subcommand 'lsit' (the subcommands are list, extract, ...)"
std::string UnknownSubcommandText(const std::string& name);
