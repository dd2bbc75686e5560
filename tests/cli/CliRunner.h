#pragma once
// Runs the real zodovu-cli and captures what it says, and a scratch folder per test.
#include <cstdint>
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

// A fresh empty folder named after the running test, removed when it ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // Names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path m_path;
};

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);
std::vector<std::string> Lines(const std::string& text);
