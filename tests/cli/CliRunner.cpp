#include "CliRunner.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

CliResult RunProgram(const std::string& program, const std::vector<std::string>& args, const fs::path& folder,
                     const char* stdoutPath, const std::vector<std::string>& environment)
{
    // Beside the folder, so that they are not among its files.
    const std::string base = (folder / ".").lexically_normal().parent_path().string();
    const fs::path outPath = base + ".stdout.txt";
    const fs::path errPath = base + ".stderr.txt";

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
    if (!stdoutPath)
        result.out = ReadWholeFile(outPath.string());
    result.err = ReadWholeFile(errPath.string());
    std::error_code ignored;
    fs::remove(outPath, ignored);
    fs::remove(errPath, ignored);
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

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}
