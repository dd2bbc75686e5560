#include "CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path CapturedOut(const fs::path& folder) { return folder / "../cli-stdout.txt"; }
fs::path CapturedErr(const fs::path& folder) { return folder / "../cli-stderr.txt"; }

} // namespace

pid_t StartCli(const std::vector<std::string>& args, const fs::path& folder, const CliStart& start)
{
    std::vector<char*> argv;
    std::string program = ZODOVU_CLI;
    argv.push_back(program.data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const fs::path outPath = CapturedOut(folder);
    const fs::path errPath = CapturedErr(folder);

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
    std::ifstream out(CapturedOut(folder)), err(CapturedErr(folder));
    if (!start.stdoutPath)
        result.out.assign(std::istreambuf_iterator<char>(out), {});
    if (!start.stderrPath)
        result.err.assign(std::istreambuf_iterator<char>(err), {});
    return result;
}

CliResult RunCli(const std::vector<std::string>& args, const fs::path& folder, const char* stdoutPath)
{
    CliStart start;
    start.stdoutPath = stdoutPath;
    return FinishCli(StartCli(args, folder, start), folder, start);
}

ScratchFolder::ScratchFolder()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    m_path = fs::temp_directory_path() / ("zodovu-cli-" + std::to_string(::getpid())) / name;
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::remove_all(m_path.parent_path(), ignored);
}

std::vector<std::string> ScratchFolder::Names() const
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> ReadWholeFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}
