// Extraction of a 512 MiB encoding: the copy routine and zodovu-cli against dd
// and cp moving the same bytes. Prints figures; asserts nothing. The archive is
// a real (not sparse) file, read from the page cache after it is written.
#include "BenchSupport.h"
#include "file/File.h"
#include "output/ClipCopy.h"
#include "samples/LargeArchive.h"
#include "TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace testsupport;

using bench::Run;
using bench::WriteAll;

namespace {

constexpr uint32_t HI_SIZE = 512 * MIB;
constexpr uint32_t HI_OFFSET = LARGE_ARCHIVE_HI_OFFSET;
constexpr int RUNS = 5;

// disc1.pak with one clip: a 512 MiB high-resolution file of varied bytes and a small low one.
void WriteArchive(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    GenerateLargeArchive(HI_SIZE, [fd](const void* bytes, size_t count) { WriteAll(fd, bytes, count); });
    if (::close(fd) != 0)
        throw std::runtime_error("cannot finish " + path);
}

// True when file holds exactly the encoding's bytes.
bool HoldsTheEncoding(const std::string& archive, const std::string& file)
{
    return std::system(("cmp -s -i " + std::to_string(HI_OFFSET) + ":0 -n " + std::to_string(HI_SIZE) +
                        " '" + archive + "' '" + file + "'").c_str()) == 0 &&
           [&] {
               struct stat info;
               return ::stat(file.c_str(), &info) == 0 && info.st_size == HI_SIZE;
           }();
}

struct Method {
    const char* name;
    std::function<void()> run;
};

} // namespace

int main(int argc, char** argv)
{
    try {
        TempFolder folder(bench::ScratchBase(argc, argv), "bench-extract");
        const std::string archive = folder / "disc1.pak";
        const std::string output = folder / "out.bik";
        const std::string sameBytes = folder / "same-bytes.bik";
        WriteArchive(archive);
        Run("dd if='" + archive + "' of='" + sameBytes + "' bs=1M iflag=skip_bytes,count_bytes skip=" +
            std::to_string(HI_OFFSET) + " count=" + std::to_string(HI_SIZE) + " status=none");

        const std::string ddCommon = "dd if='" + archive + "' of='" + output +
                                     "' bs=1M iflag=skip_bytes,count_bytes skip=" + std::to_string(HI_OFFSET) +
                                     " count=" + std::to_string(HI_SIZE) + " status=none";
        const std::vector<Method> methods = {
            {"CopyClipBytes (CFile to CFile)",
             [&] {
                 CFile source, target;
                 if (!source.Open(archive.c_str(), CFile::modeRead | CFile::shareDenyNone) ||
                     !target.Open(output.c_str(), CFile::modeCreate | CFile::modeWrite))
                     throw std::runtime_error("cannot open the files of the copy");
                 CopyClipBytes(source, HI_OFFSET, HI_SIZE, target, nullptr);
             }},
            {"zodovu-cli extract (+fsync)",
             [&] { Run("'" ZODOVU_CLI "' extract '" + archive + "' 1 -o '" + output + "' --force"); }},
            {"dd bs=1M", [&] { Run(ddCommon); }},
            {"dd bs=1M conv=fsync", [&] { Run(ddCommon + " conv=fsync"); }},
            {"cp", [&] { Run("cp '" + sameBytes + "' '" + output + "'"); }},
        };

        std::printf("Extraction of a %u MiB encoding (warm page cache, best and mean of %d runs)\n\n",
                    HI_SIZE / MIB, RUNS);
        std::printf("%-32s %9s %9s %10s %6s\n", "method", "best", "mean", "best rate", "exact");
        std::map<std::string, double> bests;
        for (const Method& method : methods) {
            double best = 1e9, total = 0;
            bool exact = true;
            for (int run = 0; run < RUNS; ++run) {
                ::unlink(output.c_str());
                ::sync();   // no write-back of an earlier run is paid for by this one
                bench::Stopwatch clock;
                method.run();
                const double seconds = clock.Seconds();
                best = seconds < best ? seconds : best;
                total += seconds;
                if (run == 0)
                    exact = HoldsTheEncoding(archive, output);
            }
            bests[method.name] = best;
            std::printf("%-32s %8.3fs %8.3fs %7.0f MiB/s %6s\n", method.name, best, total / RUNS,
                        HI_SIZE / MIB / best, exact ? "yes" : "NO");
            ::unlink(output.c_str());
        }
        std::printf("\nzodovu-cli extract against dd bs=1M conv=fsync: %.2fx (goal 0.95x)\n",
                    bests["dd bs=1M conv=fsync"] / bests["zodovu-cli extract (+fsync)"]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_extract: %s\n", e.what());
        return 1;
    }
}
