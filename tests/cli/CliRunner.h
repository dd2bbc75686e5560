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

// Runs zodovu-cli with args in folder, stdin closed, stdout and stderr captured;
// stdout goes to stdoutPath instead when one is given (then out stays empty).
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const char* stdoutPath = nullptr);

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
