// Converting a whole disc to MP4: zodovu-cli convert --all against FFmpeg's own
// program converting the same clips through zodovu-cli url with the same
// settings (H.264, CRF 20, preset medium, a key frame every 5 s), one process a
// clip, one after another and nproc at once; and the peak memory of each.
// Prints figures; asserts nothing.
#include "BenchSupport.h"
#include "samples/ArchiveBuilder.h"
#include "TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

using namespace testsupport;
using bench::Run;

namespace {

constexpr int CLIPS = 16;
constexpr uint32_t FRAMES = 150;   // 10 s at 15 frames a second

double Seconds(const std::string& command)
{
    return bench::BestSeconds(1, nullptr, [&] { Run(command); });
}

} // namespace

int main(int argc, char** argv)
{
    try {
        TempFolder folder(bench::ScratchBase(argc, argv), "bench-convert");
        const std::string disc = folder / "disc3.pak", longer = folder / "longer.pak", out = folder / "out";
        for (const uint32_t frames : {FRAMES, 4 * FRAMES}) {
            ArchiveBuilder archive;
            for (uint32_t clip = 1; clip <= CLIPS; ++clip)
                archive.AddClip(BuildBinkFile(HiResShape(frames, clip)), BuildBinkFile(LoResShape(frames, clip)));
            archive.WriteTo(frames == FRAMES ? disc : longer);
        }
        const std::string cli = "'" ZODOVU_CLI "'";
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());

        const std::string urls = folder / "urls.txt";
        Run("for n in $(seq " + std::to_string(CLIPS) + "); do " + cli + " url '" + disc + "' $n; done > '" + urls + "'");
        // $0 is the URL; the output is named after xargs' own process number.
        const std::string ffmpeg = "ffmpeg -nostdin -v error -y -i \"$0\" -c:v libx264 -crf 20 -preset medium "
                                   "-pix_fmt yuv420p -g 75 -movflags +faststart '" + out + "'/$$.mp4";
        const auto fresh = [&] { Run("rm -rf '" + out + "' && mkdir -p '" + out + "' && sync"); };

        std::printf("Converting a disc of %d clips of %u frames (640x448) to MP4, once each, %u cores\n\n", CLIPS,
                    FRAMES, cores);
        fresh();
        const double ours = Seconds(cli + " convert '" + disc + "' --all -q --force -o '" + out + "'");
        fresh();
        const double oneByOne = Seconds("xargs -d '\\n' -n1 sh -c '" + ffmpeg + "' < '" + urls + "'");
        fresh();
        const double parallel =
            Seconds("xargs -d '\\n' -n1 -P" + std::to_string(cores) + " sh -c '" + ffmpeg + "' < '" + urls + "'");
        std::printf("%-52s %8.2fs %7.0f frames/s\n", "zodovu-cli convert --all", ours, CLIPS * FRAMES / ours);
        std::printf("%-52s %8.2fs %7.0f frames/s\n", "ffmpeg per clip through url, one after another", oneByOne,
                    CLIPS * FRAMES / oneByOne);
        std::printf("%-52s %8.2fs %7.0f frames/s\n",
                    ("ffmpeg per clip through url, xargs -P" + std::to_string(cores)).c_str(), parallel,
                    CLIPS * FRAMES / parallel);
        std::printf("\nconvert --all against the faster ffmpeg run: %.2fx (goal: at least 1.00x)\n",
                    std::min(oneByOne, parallel) / ours);

        std::string firstUrl;
        std::getline(std::ifstream(urls), firstUrl);
        fresh();
        std::printf("\nPeak memory\n");
        std::printf("%-52s %8ld KiB\n", ("zodovu-cli convert --all -j " + std::to_string(cores)).c_str(),
                    bench::PeakKibibytes(cli + " convert " + disc + " --all -q --force -o " + out, folder.Path()));
        fresh();
        std::printf("%-52s %8ld KiB\n", "the same, clips four times as long",
                    bench::PeakKibibytes(cli + " convert " + longer + " --all -q --force -o " + out, folder.Path()));
        std::printf("%-52s %8ld KiB\n", "one ffmpeg process",
                    bench::PeakKibibytes("ffmpeg -nostdin -v error -y -i \"" + firstUrl + "\" -c:v libx264 -crf 20 -preset "
                                  "medium -pix_fmt yuv420p -g 75 " + out + "/one.mp4",
                                  folder.Path()));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_convert: %s\n", e.what());
        return 1;
    }
}
