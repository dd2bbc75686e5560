#pragma once
// Reads the command line of zodovu-cli with CLI11, which only parses: every
// text the user reads is the tool's own (Help.h).
#include "cli/CommandLine.h"

#include <string>

// Reads the arguments. A usage error throws UsageError, with reading set to
// the subcommand being read (null before one), for the usage lines.
CommandLine ParseCommandLine(int argc, const char* const* argv, const Subcommand*& reading);
