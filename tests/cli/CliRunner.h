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

// Runs program (a path) with args in folder, stdin closed, stdout and stderr
// captured; stdout goes to stdoutPath instead when one is given (then out stays
// empty). environment ("NAME=VALUE" each) is added to the program's own.
CliResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::filesystem::path& folder, const char* stdoutPath = nullptr,
                     const std::vector<std::string>& environment = {});
// RunProgram of zodovu-cli.
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const char* stdoutPath = nullptr, const std::vector<std::string>& environment = {});

#ifdef FFPROBE
// What ffprobe finds in input without decoding: the stream's codec, width,
// height and packet count, and every packet's timestamps, size, position and flags.
CliResult ProbePackets(const std::string& input, const std::filesystem::path& folder);
#endif

using testsupport::ReadWholeFile;
using testsupport::ScratchFolder;

// The text's lines without their line ends.
std::vector<std::string> Lines(const std::string& text);
