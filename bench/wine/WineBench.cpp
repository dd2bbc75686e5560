// The real zodovu.exe under Wine, driven as a user would, against the bare loop
// of the same design in the same Wine, prefix and display: extracting a 512 MiB
// encoding with "Extract...", and scanning a 256-clip archive with "...". Times
// run from the file dialog's end to the progress window's end. Prints figures;
// asserts nothing (a wrong output is reported as a failure, not timed).
//
//   bench_wine.exe <zodovu.exe> <scratch folder> [runs]
#include "BareLoop.h"
#include "ViewerProcess.h"

#include "catalogue/ClipTable.h"
#include "GameRegistryKey.h"
#include "samples/ArchiveBuilder.h"
#include "samples/LargeArchive.h"
#include "ui/res/resource.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

constexpr uint32_t HI_SIZE = 512 * MIB;
constexpr uint32_t HI_OFFSET = LARGE_ARCHIVE_HI_OFFSET;

void WriteOrThrow(HANDLE h, const void* data, DWORD size)
{
    DWORD put = 0;
    if (!::WriteFile(h, data, size, &put, NULL) || put != size)
        throw std::runtime_error("cannot write the benchmark's archive");
}

// disc1.pak with one clip: a 512 MiB high-resolution file of varied bytes and a small low one.
void WriteBigArchive(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    GenerateLargeArchive(HI_SIZE, [h](const void* bytes, size_t count) {
        WriteOrThrow(h, bytes, static_cast<DWORD>(count));
    });
    ::CloseHandle(h);
}

// Writes the file's dirty pages to disk and deletes it, and has the deletion
// committed too (through the flush of a small marker file), so that no run pays
// for what an earlier step wrote: a copy running while the kernel writes back half
// a gigabyte, or discards the blocks of a deleted one, stalls in WriteFile.
void FlushAndDelete(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return;
    ::FlushFileBuffers(h);
    ::CloseHandle(h);
    ::DeleteFileA(path.c_str());
    const std::string marker = path + ".flushed";
    h = ::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD put = 0;
    ::WriteFile(h, "x", 1, &put, NULL);
    ::FlushFileBuffers(h);
    ::CloseHandle(h);
    ::DeleteFileA(marker.c_str());
}

void Flush(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path);
    ::FlushFileBuffers(h);
    ::CloseHandle(h);
}

// True when file holds exactly size bytes of archive from offset.
bool HoldsSpan(const std::string& archive, uint32_t offset, uint32_t size, const std::string& file)
{
    HANDLE a = ::CreateFileA(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE f = ::CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    bool bSame = a != INVALID_HANDLE_VALUE && f != INVALID_HANDLE_VALUE && ::GetFileSize(f, NULL) == size;
    if (bSame) {
        ::SetFilePointer(a, static_cast<LONG>(offset), NULL, FILE_BEGIN);
        std::vector<char> x(MIB), y(MIB);
        for (uint32_t done = 0; bSame && done < size;) {
            const DWORD n = std::min(size - done, MIB);
            DWORD gx = 0, gy = 0;
            bSame = ::ReadFile(a, x.data(), n, &gx, NULL) && ::ReadFile(f, y.data(), n, &gy, NULL) && gx == n &&
                    gy == n && std::equal(x.begin(), x.begin() + n, y.begin());
            done += n;
        }
    }
    if (a != INVALID_HANDLE_VALUE)
        ::CloseHandle(a);
    if (f != INVALID_HANDLE_VALUE)
        ::CloseHandle(f);
    return bSame;
}

struct Figures {
    std::vector<double> seconds;
    double Best() const { return *std::min_element(seconds.begin(), seconds.end()); }
    double Mean() const
    {
        double sum = 0;
        for (double s : seconds)
            sum += s;
        return sum / static_cast<double>(seconds.size());
    }
};

void PrintRow(const char* what, const Figures& figures, double bytes)
{
    std::printf("  %-44s %7.3f s  %7.3f s", what, figures.Best(), figures.Mean());
    if (bytes > 0)
        std::printf("  %5.0f MB/s", bytes / figures.Best() / 1e6);
    std::printf("\n");
}

void PrintRatio(const Figures& ours, const Figures& bare)
{
    std::printf("  %-44s %7.2fx    %7.2fx\n", "zodovu.exe against the bare loop (speed)", bare.Best() / ours.Best(),
                bare.Mean() / ours.Mean());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_wine <zodovu.exe> <scratch folder> [runs]\n");
        return 2;
    }
    const std::string exe = argv[1];
    std::string folder = argv[2];
    if (folder.back() != '\\')
        folder += '\\';
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    try {
        const std::string big = folder + "disc1.pak";
        const std::string many = folder + "disc2.pak";
        const std::string out = folder + "extracted.bik";
        const std::string bareOut = folder + "bare.bik";
        WriteBigArchive(big);
        ArchiveBuilder builder;
        for (int i = 0; i < 256; ++i)
            builder.AddClip(15);
        builder.WriteTo(many);
        Flush(big);
        Flush(many);
        std::vector<bench::BareClip> clips;
        for (const BuiltClip& clip : builder.Clips())
            clips.push_back({clip.hiOffset, clip.loOffset, clip.loOffset + clip.loSize});

        GameRegistryKey key;
        key.SetDataDrive(folder);

        Figures extract, bareCopy, scan, bareScan;
        // The bare loop goes first in every other run, so that neither side always
        // meets what the other left behind.
        for (int run = 0; run < runs; ++run) {
            auto viewerRun = [&] {
                {
                    bench::ViewerProcess viewer(exe);
                    scan.seconds.push_back(viewer.TimedCommand(IDC_BROWSE, many));
                    if (viewer.RowCount() != 256)
                        throw std::runtime_error("zodovu.exe did not list the 256 clips");
                    viewer.TimedCommand(IDC_BROWSE, big);
                    viewer.SelectFirstRow();
                    extract.seconds.push_back(viewer.TimedCommand(IDC_EXTRACT, out));
                }
                if (run == 0 && !HoldsSpan(big, HI_OFFSET, HI_SIZE, out))
                    throw std::runtime_error("zodovu.exe's output is not the encoding's bytes");
                FlushAndDelete(out);
            };
            auto bareRun = [&] {
                bareCopy.seconds.push_back(bench::BareCopy(big, HI_OFFSET, HI_SIZE, bareOut));
                FlushAndDelete(bareOut);
                bareScan.seconds.push_back(bench::BareScan(many, clips));
            };
            if (run % 2 == 0) {
                viewerRun();
                bareRun();
            } else {
                bareRun();
                viewerRun();
            }
        }

        std::printf("Extracting a 512 MiB encoding under Wine, %d runs      best       mean\n", runs);
        PrintRow("zodovu.exe \"Extract...\"", extract, HI_SIZE);
        PrintRow("bare loop (window, bar, 1 MiB chunks)", bareCopy, HI_SIZE);
        PrintRatio(extract, bareCopy);
        std::printf("Scanning a 256-clip archive under Wine, %d runs\n", runs);
        PrintRow("zodovu.exe \"...\"", scan, 0);
        PrintRow("bare loop (window, bar, a report a clip)", bareScan, 0);
        PrintRatio(scan, bareScan);
        std::fflush(stdout);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_wine: %s\n", e.what());
        return 1;
    }
    return 0;
}
