// Starting zodovu-cli: the plain program, which loads none of FFmpeg's
// libraries, against its decoding program, which does, and against /bin/true,
// the least a program can cost to start. Prints figures; asserts nothing.
#include "BenchSupport.h"
#include "samples/ArchiveBuilder.h"
#include "TempFolder.h"

#include <cstdio>
#include <stdexcept>
#include <string>

using namespace testsupport;

namespace {

constexpr int STARTS = 100;
constexpr int RUNS = 5;

// Milliseconds a start of command, the best of RUNS loops of STARTS starts.
double StartMilliseconds(const std::string& command)
{
    const std::string loop = "for i in $(seq " + std::to_string(STARTS) + "); do " + command + " >/dev/null; done";
    return 1000 * bench::BestSeconds(RUNS, nullptr, [&] { bench::Run(loop); }) / STARTS;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        TempFolder folder(bench::ScratchBase(argc, argv), "bench-startup");
        const std::string disc = folder / "disc2.pak";
        ArchiveBuilder().AddClip(BuildBinkFile(HiResShape(15, 1)), BuildBinkFile(LoResShape(15, 1))).WriteTo(disc);
        const std::string cli = "'" ZODOVU_CLI "'", decoding = "'" ZODOVU_CLI_DECODE "'";

        const double bare = StartMilliseconds("/bin/true");
        const double plain = StartMilliseconds(cli + " --version");
        const double listing = StartMilliseconds(cli + " list '" + disc + "'");
        const double decoder = StartMilliseconds(decoding + " --version");
        std::printf("A start, best of %d runs of %d starts each, in milliseconds\n\n", RUNS, STARTS);
        std::printf("  /bin/true                          %6.2f\n", bare);
        std::printf("  zodovu-cli --version               %6.2f   %+.2f over /bin/true\n", plain, plain - bare);
        std::printf("  zodovu-cli list (one clip)         %6.2f   %+.2f\n", listing, listing - bare);
        std::printf("  zodovu-cli-decode --version        %6.2f   %+.2f (FFmpeg's libraries loaded)\n", decoder,
                    decoder - bare);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_startup: %s\n", error.what());
        return 1;
    }
}
