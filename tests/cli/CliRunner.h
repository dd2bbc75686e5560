#pragma once
// Runs the real zodovu-cli and captures what it says, and a scratch folder per test.
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

struct CliResult {
    int status = -1;   // the exit status; -1 when the program did not exit normally
    int signal = 0;    // the signal that ended it, if one did
    std::string out;
    std::string err;
};

// How the program is started, beyond its arguments and folder.
struct CliStart {
    const char* stdoutPath = nullptr;   // instead of capturing stdout (out stays empty)
    const char* stderrPath = nullptr;   // instead of capturing stderr (err stays empty)
    long long fileSizeLimit = -1;       // RLIMIT_FSIZE in bytes, as ulimit -f sets it
    std::vector<int> ignoredSignals;    // ignored when it starts, as under nohup
};

// Runs zodovu-cli with args in folder, stdin closed, stdout and stderr captured;
// stdout goes to stdoutPath instead when one is given (then out stays empty).
CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const char* stdoutPath = nullptr);

// Starts zodovu-cli without waiting for it; FinishCli waits and collects.
pid_t StartCli(const std::vector<std::string>& args, const std::filesystem::path& folder, const CliStart& start);
CliResult FinishCli(pid_t child, const std::filesystem::path& folder, const CliStart& start);

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
