// Scan cost against archive shape: the scanner steps over video data by seeking,
// so its cost should follow the number of clips and filler blocks, not the bytes.
// A hostile archive of one clip header and 2 GiB of zeros is all filler: there the
// read-ahead file is measured beside cat reading the same bytes.
// Prints figures; asserts nothing.
#include "BenchSupport.h"
#include "catalogue/ArchiveScanner.h"
#include "CountingFiles.h"
#include "file/ReadAheadFile.h"
#include "samples/ArchiveBuilder.h"
#include "samples/BinkBuilder.h"
#include "TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

using namespace testsupport;

namespace {

constexpr int SCANS = 50;

void WriteAt(int fd, const std::vector<uint8_t>& bytes, uint32_t offset)
{
    if (::pwrite(fd, bytes.data(), bytes.size(), offset) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("cannot write the sparse archive");
}

// A disc archive whose clips hold only their headers; the video data are holes.
void WriteSparseArchive(const std::string& path, unsigned clips, unsigned fillers, uint32_t hiSize,
                        uint32_t loSize)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    std::vector<uint8_t> filler(FILLER_SIZE, 0);
    filler[0] = 'P', filler[1] = 'A', filler[2] = 'D';
    uint32_t cursor = 0;
    for (unsigned clip = 0; clip < clips; ++clip) {
        const uint32_t frames = 900 + clip;
        WriteAt(fd, {'K', 'V', 'P', 0, 0, 0, static_cast<uint8_t>(frames), static_cast<uint8_t>(frames >> 8)},
                cursor);
        cursor += KVP_HEADER_SIZE;
        for (unsigned f = 0; f < fillers; ++f, cursor += FILLER_SIZE)
            WriteAt(fd, filler, cursor);
        WriteAt(fd, BinkHeader(HiResShape(frames, clip), hiSize), cursor);
        cursor += hiSize;
        WriteAt(fd, BinkHeader(LoResShape(frames, clip), loSize), cursor);
        cursor += loSize;
    }
    if (::ftruncate(fd, cursor) != 0 || ::close(fd) != 0)
        throw std::runtime_error("cannot finish " + path);
}

void WriteSmallArchive(const std::string& path, unsigned clips, unsigned fillers)
{
    ArchiveBuilder builder;
    for (unsigned clip = 0; clip < clips; ++clip)
        builder.AddClip(150 + clip, fillers);
    builder.WriteTo(path);
}

// "KVP" and its 16-bit value, then zeros to 2 GiB: the scanner walks 44-byte
// fillers to the end of the signed range before it refuses the archive.
void WriteZeroFilledArchive(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    WriteAt(fd, {'K', 'V', 'P', 0, 0, 0, 0x84, 0x03}, 0);
    if (::ftruncate(fd, off_t(2048) * MIB) != 0 || ::close(fd) != 0)
        throw std::runtime_error("cannot finish " + path);
}

double BestOf(int runs, const std::function<void()>& work)
{
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        bench::Stopwatch clock;
        work();
        best = std::min(best, clock.Seconds());
    }
    return best;
}

void MeasureZeroFilledScan(const std::string& path)
{
    WriteZeroFilledArchive(path);
    const double scan = BestOf(3, [&] {
        CReadAheadFile file;
        if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone))
            throw std::runtime_error("cannot open " + path);
        std::unique_ptr<ClipTable> table(new ClipTable());
        if (ScanArchive(file, file.GetLength(), false, *table, nullptr) != ScanResult::Rejected)
            throw std::runtime_error("the scanner accepted " + path);
    });
    const std::string command = "cat '" + path + "' > /dev/null";
    const double cat = BestOf(3, [&] {
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("cat failed on " + path);
    });
    std::printf("\nOne clip header and 2 GiB of zeros (refused; best of 3)\n");
    std::printf("  ScanArchive, read-ahead file  %7.3f s\n", scan);
    std::printf("  cat > /dev/null               %7.3f s   (scan/cat %.2fx)\n", cat, scan / cat);
}

struct Figures {
    uint32_t clips = 0;
    uint32_t length = 0;
    uint64_t reads = 0;
    uint64_t seeks = 0;
    uint64_t bytesRead = 0;
    double seconds = 0;
};

Figures MeasureScan(const std::string& path)
{
    Figures figures;
    std::unique_ptr<ClipTable> table(new ClipTable());
    bench::Stopwatch clock;
    for (int scan = 0; scan < SCANS; ++scan) {
        CCountingFile file;
        if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone))
            throw std::runtime_error("cannot open " + path);
        figures.length = file.GetLength();
        if (ScanArchive(file, figures.length, false, *table, nullptr) != ScanResult::Accepted)
            throw std::runtime_error("the scanner rejected " + path);
        figures.reads = file.m_nReads;
        figures.seeks = file.m_nSeeks;
        figures.bytesRead = file.m_nBytesRead;
    }
    figures.seconds = clock.Seconds() / SCANS;
    figures.clips = table->nCount;
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        TempFolder folder(bench::ScratchBase(argc, argv), "bench-scan");
        struct Case {
            const char* name;
            std::string path;
            unsigned fillers;
        };
        const std::vector<Case> cases = {
            {"64 clips of a few KiB", folder / "small64.pak", 1},
            {"256 clips of a few KiB", folder / "small256.pak", 1},
            {"256 clips, 10 fillers each", folder / "fillers256.pak", 10},
            {"256 clips, 1.9 GiB (sparse)", folder / "sparse256.pak", 1},
        };
        WriteSmallArchive(cases[0].path, 64, 1);
        WriteSmallArchive(cases[1].path, 256, 1);
        WriteSmallArchive(cases[2].path, 256, 10);
        // 5.5 MiB + 2.1 MiB a clip: 1945.6 MiB in all, below the 2 GiB of the format.
        WriteSparseArchive(cases[3].path, 256, 1, 5 * MIB + MIB / 2, 2 * MIB + MIB / 10);

        std::printf("Scan cost (ScanArchive over the disk file class, mean of %d warm scans)\n\n", SCANS);
        std::printf("%-28s %6s %8s %12s %10s %7s %7s %10s %11s\n", "archive", "clips", "fillers",
                    "length", "on disk", "reads", "seeks", "bytes read", "time/scan");
        for (const Case& c : cases) {
            const Figures f = MeasureScan(c.path);
            std::printf("%-28s %6u %8u %12u %9.1fM %7llu %7llu %10llu %8.1f us\n", c.name, f.clips,
                        f.clips * c.fillers, f.length, bench::BytesOnDisk(c.path) / 1048576.0,
                        static_cast<unsigned long long>(f.reads), static_cast<unsigned long long>(f.seeks),
                        static_cast<unsigned long long>(f.bytesRead), f.seconds * 1e6);
        }
        MeasureZeroFilledScan(folder / "zeros2g.pak");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_scan: %s\n", e.what());
        return 1;
    }
}
