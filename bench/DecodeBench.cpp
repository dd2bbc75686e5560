// Decoding a whole disc of clips that decode: zodovu-cli verify --frames against
// FFmpeg's own program checking the same clips through zodovu-cli url, one
// process a clip, one after another and nproc at once; and the peak memory of
// each, on the disc and on one with clips twice as long. Prints figures;
// asserts nothing.
#include "BenchSupport.h"
#include "samples/ArchiveBuilder.h"
#include "TempFolder.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace testsupport;
using bench::Run;

namespace {

constexpr int CLIPS = 32;
constexpr int RUNS = 3;

// disc3.pak: 32 clips of frames frames each, both encodings.
void WriteDisc(const std::string& path, uint32_t frames)
{
    ArchiveBuilder archive;
    for (uint32_t clip = 1; clip <= CLIPS; ++clip)
        archive.AddClip(BuildBinkFile(HiResShape(frames, clip)), BuildBinkFile(LoResShape(frames, clip)));
    archive.WriteTo(path);
}

double Best(const std::function<void()>& run)
{
    return bench::BestSeconds(RUNS, nullptr, run);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        TempFolder folder(bench::ScratchBase(argc, argv), "bench-decode");
        const std::string disc = folder / "disc3.pak", longer = folder / "longer.pak";
        const uint32_t frames = 450;   // 30 s at 15 frames a second
        WriteDisc(disc, frames);
        WriteDisc(longer, 2 * frames);
        const std::string cli = "'" ZODOVU_CLI "'";
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

        // One line a URL: each encoding of each clip.
        const std::string urls = folder / "urls.txt";
        Run("for n in $(seq " + std::to_string(CLIPS) + "); do " + cli + " url '" + disc + "' $n; " + cli + " url '" +
            disc + "' $n --lo; done > '" + urls + "'");
        const std::string ffmpeg = "ffmpeg -nostdin -v error -xerror -i \"$0\" -f null -";

        std::printf("Every frame of a disc of %d clips, %u frames each, both encodings (best of %d runs, %u cores)\n\n",
                    CLIPS, frames, RUNS, cores);
        const double ours = Best([&] { Run(cli + " verify --frames '" + disc + "' >/dev/null"); });
        const double oneByOne = Best([&] { Run("xargs -d '\\n' -n1 sh -c '" + ffmpeg + "' < '" + urls + "'"); });
        const double parallel = Best([&] {
            Run("xargs -d '\\n' -n1 -P" + std::to_string(cores) + " sh -c '" + ffmpeg + "' < '" + urls + "'");
        });
        std::printf("%-52s %8.3fs\n", "zodovu-cli verify --frames", ours);
        std::printf("%-52s %8.3fs\n", "ffmpeg -xerror -f null per clip, one after another", oneByOne);
        std::printf("%-52s %8.3fs\n", ("ffmpeg -xerror -f null per clip, xargs -P" + std::to_string(cores)).c_str(),
                    parallel);
        std::printf("\nverify --frames against the faster ffmpeg run: %.2fx (goal: well ahead)\n",
                    std::min(oneByOne, parallel) / ours);

        std::string firstUrl;
        std::getline(std::ifstream(urls), firstUrl);
        std::printf("\nPeak memory\n");
        std::printf("%-52s %8ld KiB\n", "zodovu-cli verify --frames, the disc",
                    bench::PeakKibibytes(cli + " verify --frames " + disc, folder.Path()));
        std::printf("%-52s %8ld KiB\n", "zodovu-cli verify --frames, clips twice as long",
                    bench::PeakKibibytes(cli + " verify --frames --disc 3 " + longer, folder.Path()));
        std::printf("%-52s %8ld KiB\n", "one ffmpeg -xerror -f null process",
                    bench::PeakKibibytes("ffmpeg -nostdin -v error -xerror -i \"" + firstUrl + "\" -f null -", folder.Path()));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_decode: %s\n", e.what());
        return 1;
    }
}
