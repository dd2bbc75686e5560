#pragma once
// Runs the real zodovu-cli and captures what it says.
#include "ScratchFolder.h"

#include <filesystem>
#include <string>
#include <vector>

struct CliResult {
    int status = -1;   // the exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs zodovu-cli with args in folder, stdin closed, stdout and stderr captured;
// stdout goes to stdoutPath instead when one is given (then out stays empty).
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const char* stdoutPath = nullptr);

using testsupport::ReadWholeFile;
using testsupport::ScratchFolder;
