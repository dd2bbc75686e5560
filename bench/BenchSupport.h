#pragma once
// Small pieces the benchmarks share: a stopwatch, the base of their scratch
// folders (testsupport::TempFolder), writing to a descriptor, running a command.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace bench {

class Stopwatch {
public:
    Stopwatch() : m_start(std::chrono::steady_clock::now()) {}
    double Seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start;
};

// The folder for scratch files: the first argument, or the build tree.
std::string ScratchBase(int argc, char** argv);

// Writes all size bytes or throws std::runtime_error.
void WriteAll(int fd, const void* data, size_t size);

// Runs a shell command; throws std::runtime_error when it fails.
void Run(const std::string& command);

// The best time of runs runs of run, each after prepare (not timed).
double BestSeconds(int runs, const std::function<void()>& prepare, const std::function<void()>& run);

// The peak resident memory of a shell command, in KiB, from GNU time; scratch
// is a folder for its report.
long PeakKibibytes(const std::string& command, const std::string& scratch);

// Bytes the file really takes on disk (holes take none).
uint64_t BytesOnDisk(const std::string& path);

} // namespace bench
