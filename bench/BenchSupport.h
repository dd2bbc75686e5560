#pragma once
// Small pieces the benchmarks share: a stopwatch, a scratch folder under the
// build tree, and a file that counts the calls made on it.
#include "File.h"

#include <chrono>
#include <cstdint>
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

// A fresh folder base/NAME-XXXXXX, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder(const std::string& base, const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& file) const { return m_path + "/" + file; }

private:
    std::string m_path;
};

// A disk file that counts its reads and seeks.
class CCountingFile : public CFile {
public:
    uint32_t Read(void* buffer, uint32_t count) override
    {
        ++m_nReads;
        const uint32_t got = CFile::Read(buffer, count);
        m_nBytesRead += got;
        return got;
    }
    int32_t Seek(int32_t offset, unsigned from) override
    {
        ++m_nSeeks;
        return CFile::Seek(offset, from);
    }

    uint64_t m_nReads = 0;
    uint64_t m_nSeeks = 0;
    uint64_t m_nBytesRead = 0;
};

// The folder for scratch files: the first argument, or the build tree.
std::string ScratchBase(int argc, char** argv);

// Writes all size bytes or throws std::runtime_error.
void WriteAll(int fd, const void* data, size_t size);

// Runs a shell command; throws std::runtime_error when it fails.
void Run(const std::string& command);

// Bytes the file really takes on disk (holes take none).
uint64_t BytesOnDisk(const std::string& path);

} // namespace bench
