#pragma once
// The extract subcommand's options, and the checks that need all of them.
#include "ExtractCommand.h"

#include <CLI/CLI.hpp>

// Adds the subcommand, --disc included, filling request when it is parsed. Usage
// errors are thrown as CLI11's parse errors during the parse.
CLI::App* AddExtractCommand(CLI::App& app, ExtractRequest& request);
