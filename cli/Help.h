#pragma once
// What the tool says of its command line: the help of the tool or of a
// subcommand, and the three lines of a usage error.
#include <string>

struct Subcommand;

// The help of a subcommand, or of the tool for null; a build without decoding
// leaves out what it does not have.
std::string HelpText(const Subcommand* command);
// "zodovu-cli: MESSAGE", the usage lines of the subcommand (or of the tool)
// and where to read more.
std::string UsageErrorText(const std::string& message, const Subcommand* command);
// "unknown subcommand 'lsit' (the subcommands are list, extract, ...)"
std::string UnknownSubcommandText(const std::string& name);
