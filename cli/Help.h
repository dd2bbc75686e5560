#pragma once
// The tool's own texts about its command line: the help of the tool and of each
// subcommand, written to be read at 80 columns, and the three lines of a usage
// error. What they say of the output formats comes from their table.
#include <string>

struct Subcommand;

// Each subcommand's help, the usage lines first, for the table of subcommands.
extern const std::string LIST_HELP, EXTRACT_HELP, CONVERT_HELP, VERIFY_HELP, INDEX_HELP, URL_HELP, PLAY_HELP,
    HELP_HELP;
// "MP4 or WebM": the output formats' labels.
std::string FormatLabels();

// The help of a subcommand, or of the tool for null; a build without decoding
// leaves out what it does not have.
std::string HelpText(const Subcommand* command);
// "zodovu-cli: MESSAGE", the usage lines of the subcommand (or of the tool)
// and where to read more.
std::string UsageErrorText(const std::string& message, const Subcommand* command);
// "unknown subcommand 'lsit' (the subcommands are list, extract, ...)"
std::string UnknownSubcommandText(const std::string& name);
