// zodovu-cli index of a whole demo disc (34 clips of 10 s to a minute): on
// one thread and on one a core, against ffmpeg taking one frame of each clip
// through zodovu-cli url into a JPEG, one process a clip; and with --convert,
// the page and every clip converted beside it, against convert --all alone.
// Prints figures; asserts nothing.
#include "BenchSupport.h"
#include "samples/DemoArchives.h"
#include "TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

using namespace testsupport;
using bench::Run;

namespace {

constexpr unsigned DISC2 = 1;
constexpr int RUNS = 3;

} // namespace

int main(int argc, char** argv)
{
    try {
        TempFolder folder(bench::ScratchBase(argc, argv), "bench-index");
        const std::string disc = folder / "disc2.pak", site = folder / "site", frames = folder / "frames";
        const ArchiveBuilder archive = BuildDemoArchive(DISC2);
        archive.WriteTo(disc);
        uint64_t total = 0;
        for (const BuiltClip& clip : archive.Clips())
            total += clip.frames;
        const std::string cli = "'" ZODOVU_CLI "'";
        const std::string index = cli + " index '" + disc + "' -o '" + site + "'";
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const auto clean = [&] { Run("rm -rf '" + site + "' '" + frames + "' && mkdir '" + frames + "'"); };

        std::printf("index of a disc of %zu clips, %llu frames in all (best of %d runs, %u cores)\n\n",
                    archive.Clips().size(), static_cast<unsigned long long>(total), RUNS, cores);
        const double one = bench::BestSeconds(RUNS, clean, [&] { Run(index + " -j 1 2>/dev/null"); });
        const double all = bench::BestSeconds(RUNS, clean, [&] { Run(index + " 2>/dev/null"); });
        // The same work by hand: decode into the first half, one JPEG a clip.
        const std::string byHand = "for n in $(seq " + std::to_string(archive.Clips().size()) +
                                   "); do ffmpeg -nostdin -v error -i \"$(" + cli + " url '" + disc +
                                   "' $n)\" -vf 'select=eq(n\\,30)' -frames:v 1 -q:v 3 '" + frames +
                                   "'/$n.jpg || exit 1; done";
        const double ffmpeg = bench::BestSeconds(RUNS, clean, [&] { Run(byHand); });
        std::printf("%-56s %8.3fs\n", "zodovu-cli index -j 1", one);
        std::printf("%-56s %8.3fs\n", ("zodovu-cli index (-j " + std::to_string(cores) + ")").c_str(), all);
        std::printf("%-56s %8.3fs\n", "ffmpeg through url, one frame a clip, one after another", ffmpeg);
        std::printf("\nindex against ffmpeg's one frame a clip: %.2fx\n", ffmpeg / all);

        // One run each: a conversion of the disc takes a while.
        const std::string convert = cli + " convert '" + disc + "' --all -q -o '" + site + "/'";
        const double withConvert = bench::BestSeconds(1, clean, [&] { Run(index + " --convert 2>/dev/null"); });
        const double convertAlone = bench::BestSeconds(1, clean, [&] { Run(convert); });
        std::printf("\n%-56s %8.3fs\n", "zodovu-cli index --convert (mp4, one run)", withConvert);
        std::printf("%-56s %8.3fs\n", "zodovu-cli convert --all (mp4, one run)", convertAlone);
        std::printf("the page and its posters on top of the conversions: %+.3fs\n", withConvert - convertAlone);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_index: %s\n", e.what());
        return 1;
    }
}
