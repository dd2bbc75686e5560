#pragma once
// The command line's own texts: a usage error in three lines rather than the
// whole help, and "help SUBCOMMAND".
#include <CLI/CLI.hpp>

#include <stdexcept>
#include <string>

// A usage error that shows only once the archive is read (a selection of a clip
// past its last); main reports it like an error of the parse.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The first word of the command line that is not an option, when it names no
// subcommand of app; empty otherwise.
std::string UnknownSubcommand(const CLI::App& app, int argc, const char* const* argv);

// "zodovu-cli: MESSAGE", the one-line usage of the subcommand being parsed (or
// of the tool) and where to read more, on stderr; returns EXIT_USAGE.
int ReportUsageError(const CLI::App& app, const std::string& message);
int ReportUnknownSubcommand(const CLI::App& app, const std::string& name);

// help [SUBCOMMAND]
CLI::App* AddHelpCommand(CLI::App& app, std::string& topic);
// The help of topic (of the tool when empty) on stdout; a usage error when
// topic names no subcommand.
int RunHelp(const CLI::App& app, const std::string& topic);
