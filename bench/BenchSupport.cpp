#include "BenchSupport.h"

#include <algorithm>
#include <fstream>

#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {

std::string ScratchBase(int argc, char** argv)
{
    return argc > 1 ? argv[1] : ZODOVU_BENCH_SCRATCH;
}

void WriteAll(int fd, const void* data, size_t size)
{
    if (::write(fd, data, size) != static_cast<ssize_t>(size))
        throw std::runtime_error("cannot write a scratch file");
}

void Run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

double BestSeconds(int runs, const std::function<void()>& prepare, const std::function<void()>& run)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        Stopwatch clock;
        run();
        best = std::min(best, clock.Seconds());
    }
    return best;
}

long PeakKibibytes(const std::string& command, const std::string& scratch)
{
    const std::string report = scratch + "/time.txt";
    Run("/usr/bin/time -f %M -o '" + report + "' sh -c '" + command + "' >/dev/null");
    long kib = 0;
    std::ifstream(report) >> kib;
    return kib;
}

uint64_t BytesOnDisk(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    return static_cast<uint64_t>(info.st_blocks) * 512;
}

} // namespace bench
