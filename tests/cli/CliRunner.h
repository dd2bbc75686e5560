#pragma once
// Runs the real zodovu-cli (or another program) and captures what it says.
#include "ScratchFolder.h"

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// The same tests run against zodovu-cli.exe under Wine (cli_wine_tests). What
// only POSIX has there (FIFOs, signals, terminals, /dev/full, symbolic links,
// the shell's redirections into a Linux path) is skipped, and the system's
// words are Wine's.
#ifdef ZODOVU_CLI_UNDER_WINE
#define SKIP_UNDER_WINE() GTEST_SKIP() << "POSIX only"
constexpr char NO_SUCH_FILE[] = "File not found";
constexpr char NO_SUCH_FOLDER[] = "Path not found";
#else
#define SKIP_UNDER_WINE() (void)0
constexpr char NO_SUCH_FILE[] = "No such file or directory";
constexpr char NO_SUCH_FOLDER[] = "No such file or directory";
#endif

struct CliResult {
    int status = -1;   // the exit status; -1 when the program did not exit normally
    int signal = 0;    // the signal that ended it, if one did
    std::string out;
    std::string err;
};

// How the program is started, beyond its arguments and folder. Standard input
// is /dev/null; stdout and stderr are captured unless a path is given for them.
struct CliStart {
    std::string program = ZODOVU_CLI;
    const char* stdoutPath = nullptr;   // instead of capturing stdout (out stays empty)
    const char* stderrPath = nullptr;   // instead of capturing stderr (err stays empty)
    std::vector<std::string> environment;   // "NAME=VALUE" each, added to the program's own
    long long fileSizeLimit = -1;       // RLIMIT_FSIZE in bytes, as ulimit -f sets it
    std::vector<int> ignoredSignals;    // ignored when it starts, as under nohup
};

// Starts the program in folder without waiting for it; FinishCli waits and collects.
pid_t StartCli(const std::vector<std::string>& args, const std::filesystem::path& folder, const CliStart& start);
CliResult FinishCli(pid_t child, const std::filesystem::path& folder, const CliStart& start);

CliResult RunProgram(const std::vector<std::string>& args, const std::filesystem::path& folder,
                     const CliStart& start);
// zodovu-cli with args in folder.
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
