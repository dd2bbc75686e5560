#include "CliRunner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Beside the folder, so that they are not among its files.
std::string CaptureBase(const fs::path& folder)
{
    return (folder / ".").lexically_normal().parent_path().string();
}
std::string CapturedOut(const fs::path& folder) { return CaptureBase(folder) + ".stdout.txt"; }
std::string CapturedErr(const fs::path& folder) { return CaptureBase(folder) + ".stderr.txt"; }

} // namespace

pid_t StartCli(const std::vector<std::string>& args, const fs::path& folder, const CliStart& start)
{
    std::vector<std::string> copies(args);
    copies.insert(copies.begin(), start.program);
    std::vector<char*> argv;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables(start.environment);
    const std::string outPath = CapturedOut(folder);
    const std::string errPath = CapturedErr(folder);

    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(start.stdoutPath ? start.stdoutPath : outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(start.stderrPath ? start.stderrPath : errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || ::chdir(folder.c_str()) != 0)
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (std::string& variable : variables)
            ::putenv(variable.data());
        for (const int signalNumber : start.ignoredSignals)
            ::signal(signalNumber, SIG_IGN);
        if (start.fileSizeLimit >= 0) {
            const struct rlimit limit = {static_cast<rlim_t>(start.fileSizeLimit),
                                         static_cast<rlim_t>(start.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return child;
}

CliResult FinishCli(pid_t child, const fs::path& folder, const CliStart& start)
{
    CliResult result;
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return result;
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    if (!start.stdoutPath)
        result.out = ReadWholeFile(CapturedOut(folder));
    if (!start.stderrPath)
        result.err = ReadWholeFile(CapturedErr(folder));
    std::error_code ignored;
    fs::remove(CapturedOut(folder), ignored);
    fs::remove(CapturedErr(folder), ignored);
    return result;
}

CliResult RunProgram(const std::vector<std::string>& args, const fs::path& folder, const CliStart& start)
{
    return FinishCli(StartCli(args, folder, start), folder, start);
}

CliResult RunCli(const std::vector<std::string>& args, const fs::path& folder, const char* stdoutPath,
                 const std::vector<std::string>& environment)
{
    CliStart start;
    start.stdoutPath = stdoutPath;
    start.environment = environment;
    return RunProgram(args, folder, start);
}

#ifdef FFPROBE
CliResult ProbePackets(const std::string& input, const fs::path& folder)
{
    CliStart start;
    start.program = FFPROBE;
    return RunProgram({"-v", "error", "-count_packets", "-show_entries",
                       "stream=codec_name,width,height,nb_read_packets:packet=pts,dts,size,pos,flags", "-of",
                       "csv", input},
                      folder, start);
}
#endif

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}
