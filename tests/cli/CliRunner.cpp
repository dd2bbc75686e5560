#include "CliRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

CliResult RunProgram(const std::string& program, const std::vector<std::string>& args, const fs::path& folder,
                     const char* stdoutPath, const std::vector<std::string>& environment)
{
    const fs::path outPath = folder / "../cli-stdout.txt";
    const fs::path errPath = folder / "../cli-stderr.txt";

    std::vector<char*> argv;
    std::vector<std::string> copies(args);
    copies.insert(copies.begin(), program);
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables(environment);

    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(stdoutPath ? stdoutPath : outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || ::chdir(folder.c_str()) != 0)
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (std::string& variable : variables)
            ::putenv(variable.data());
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    CliResult result;
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return result;
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    std::ifstream out(outPath), err(errPath);
    if (!stdoutPath)
        result.out.assign(std::istreambuf_iterator<char>(out), {});
    result.err.assign(std::istreambuf_iterator<char>(err), {});
    return result;
}

CliResult RunCli(const std::vector<std::string>& args, const fs::path& folder, const char* stdoutPath,
                 const std::vector<std::string>& environment)
{
    return RunProgram(ZODOVU_CLI, args, folder, stdoutPath, environment);
}

#ifdef FFPROBE
CliResult ProbePackets(const std::string& input, const fs::path& folder)
{
    return RunProgram(FFPROBE,
                      {"-v", "error", "-count_packets", "-show_entries",
                       "stream=codec_name,width,height,nb_read_packets:packet=pts,dts,size,pos,flags", "-of",
                       "csv", input},
                      folder);
}
#endif

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

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::vector<uint8_t> ReadWholeFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}
