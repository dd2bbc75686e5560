// A whole disc of 32 clips: zodovu-cli extract --all (files made durable a group at a time)
// against cp moving the same bytes into one file, and with --both against cp of
// the whole archive. Prints figures; asserts nothing. The archive is a real (not
// sparse) file, read from the page cache after it is written.
#include "BenchSupport.h"
#include "catalogue/ClipTable.h"
#include "samples/BinkBuilder.h"
#include "TempFolder.h"

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

using namespace testsupport;
using bench::Run;
using bench::WriteAll;

namespace {

constexpr int CLIPS = 32;
constexpr uint32_t HI_SIZE = 8 * MIB;
constexpr uint32_t LO_SIZE = 2 * MIB;
constexpr int RUNS = 5;

// A Bink header claiming size bytes, then varied bytes up to size.
void WriteEncoding(int fd, const BinkShape& shape, uint32_t size, uint64_t& state)
{
    std::vector<uint8_t> header = BuildBinkFile(shape);
    header.resize(BINK_HEADER_SIZE);
    PutU32(header, 4, size - 8);
    WriteAll(fd, header.data(), header.size());
    std::vector<uint64_t> block(MIB / 8);
    for (uint32_t written = BINK_HEADER_SIZE; written < size;) {
        for (uint64_t& word : block) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            word = state;
        }
        const uint32_t n = size - written < MIB ? size - written : MIB;
        WriteAll(fd, block.data(), n);
        written += n;
    }
}

// disc3.pak: 32 clips, each a KVP header and both encodings. hiOnly gets the
// high-resolution encodings alone, one after the other: the bytes --all writes.
void WriteDisc(const std::string& path, const std::string& hiOnly)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int hiFd = ::open(hiOnly.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || hiFd < 0)
        throw std::runtime_error("cannot create " + path);
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int clip = 0; clip < CLIPS; ++clip) {
        const uint8_t kvp[8] = {'K', 'V', 'P', 0, 0, 0, 0, 0};
        WriteAll(fd, kvp, sizeof kvp);
        uint64_t hiState = state;
        WriteEncoding(fd, HiResShape(7680), HI_SIZE, state);
        WriteEncoding(hiFd, HiResShape(7680), HI_SIZE, hiState);
        WriteEncoding(fd, LoResShape(7680), LO_SIZE, state);
    }
    if (::close(fd) != 0 || ::close(hiFd) != 0)
        throw std::runtime_error("cannot finish " + path);
}

struct Method {
    const char* name;
    uint64_t bytes;
    std::function<void()> run;
};

} // namespace

int main(int argc, char** argv)
{
    try {
        TempFolder folder(bench::ScratchBase(argc, argv), "bench-batch");
        const std::string archive = folder / "disc3.pak";
        const std::string hiOnly = folder / "hi-only.bin";
        const std::string out = folder / "out";
        const std::string one = folder / "one.bin";
        WriteDisc(archive, hiOnly);
        const std::string cli = "'" ZODOVU_CLI "' extract '" + archive + "' --all -q --force -o '" + out + "'";
        const uint64_t hiBytes = uint64_t{CLIPS} * HI_SIZE;
        const uint64_t bothBytes = uint64_t{CLIPS} * (HI_SIZE + LO_SIZE);

        const std::vector<Method> methods = {
            {"zodovu-cli extract --all (+fsync)", hiBytes, [&] { Run(cli); }},
            {"cp, one file", hiBytes, [&] { Run("cp '" + hiOnly + "' '" + one + "'"); }},
            {"cp + sync, one file", hiBytes, [&] { Run("cp '" + hiOnly + "' '" + one + "' && sync '" + one + "'"); }},
            {"zodovu-cli extract --all --both", bothBytes, [&] { Run(cli + " --both"); }},
            {"cp + sync of the archive", bothBytes,
             [&] { Run("cp '" + archive + "' '" + one + "' && sync '" + one + "'"); }},
        };

        std::printf("A whole disc of %d clips (%u + %u MiB each; warm page cache, best and mean of %d runs)\n\n",
                    CLIPS, HI_SIZE / MIB, LO_SIZE / MIB, RUNS);
        std::printf("%-36s %8s %9s %9s %10s\n", "method", "MiB", "best", "mean", "best rate");
        std::map<std::string, double> bests;
        for (const Method& method : methods) {
            double best = 1e9, total = 0;
            for (int run = 0; run < RUNS; ++run) {
                Run("rm -rf '" + out + "' '" + one + "'");
                ::sync();   // no write-back of an earlier run is paid for by this one
                bench::Stopwatch clock;
                method.run();
                const double seconds = clock.Seconds();
                best = seconds < best ? seconds : best;
                total += seconds;
            }
            bests[method.name] = best;
            std::printf("%-36s %8llu %8.3fs %8.3fs %7.0f MiB/s\n", method.name,
                        static_cast<unsigned long long>(method.bytes / MIB), best, total / RUNS,
                        method.bytes / MIB / best);
        }
        // The extracted files hold exactly the bytes cp moved.
        Run("rm -rf '" + out + "' && " + cli + " && cat '" + out + "'/disc3-0??h*.bik | cmp -s - '" + hiOnly + "'");
        std::printf("\nextract --all output identical to the high-resolution bytes: yes\n");
        std::printf("zodovu-cli extract --all --both against cp + sync of the archive: %.2fx (goal 0.95x)\n",
                    bests["cp + sync of the archive"] / bests["zodovu-cli extract --all --both"]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_batch_extract: %s\n", e.what());
        return 1;
    }
}
