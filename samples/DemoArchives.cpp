#include "samples/DemoArchives.h"

#include <filesystem>

namespace testsupport {

namespace {

// A fixed integer hash, so that frame counts look scattered yet never change.
uint32_t Mix(uint32_t value)
{
    value ^= value >> 16;
    value *= 0x7feb352du;
    value ^= value >> 15;
    value *= 0x846ca68bu;
    value ^= value >> 16;
    return value;
}

} // namespace

const std::vector<DemoArchive>& DemoArchives()
{
    static const std::vector<DemoArchive> archives = {
        {"disc1.pak", ArchiveBuilder::Layout::Disc, 31},
        {"disc2.pak", ArchiveBuilder::Layout::Disc, 34},
        {"disc3.pak", ArchiveBuilder::Layout::Disc, 32},
        {"disc4.pak", ArchiveBuilder::Layout::Disc, 7},
        {"publish.pak", ArchiveBuilder::Layout::Publisher, 5},
    };
    return archives;
}

uint32_t DemoClipFrames(unsigned archive, unsigned clip)
{
    const uint32_t span = DEMO_MAX_FRAMES - DEMO_MIN_FRAMES + 1;
    return DEMO_MIN_FRAMES + Mix(archive * 1000u + clip + 1) % span;
}

unsigned DemoClipFillers(unsigned archive, unsigned clip)
{
    return Mix(archive * 7919u + clip * 31u + 5) % 3;
}

ArchiveBuilder BuildDemoArchive(unsigned archive)
{
    const DemoArchive& demo = DemoArchives().at(archive);
    ArchiveBuilder builder(demo.layout);
    for (unsigned clip = 0; clip < demo.clips; ++clip)
        builder.AddClip(DemoClipFrames(archive, clip), DemoClipFillers(archive, clip));
    return builder;
}

std::vector<std::string> WriteDemoArchives(const std::string& dir)
{
    std::filesystem::create_directories(dir);
    std::vector<std::string> paths;
    for (unsigned archive = 0; archive < DemoArchives().size(); ++archive) {
        const std::string path = (std::filesystem::path(dir) / DemoArchives()[archive].fileName).string();
        BuildDemoArchive(archive).WriteTo(path);
        paths.push_back(path);
    }
    return paths;
}

} // namespace testsupport
