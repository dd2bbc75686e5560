#pragma once
// The demo set: the four disc archives with as many clips as each disc has
// titles, and a small publisher archive. Each clip decodes, showing its number
// and a moving bar, for 10 seconds to a minute; the same bytes come out on every
// run.
#include "samples/ArchiveBuilder.h"

#include <string>
#include <vector>

namespace testsupport {

struct DemoArchive {
    const char* fileName;
    ArchiveBuilder::Layout layout;
    unsigned clips;
};

const std::vector<DemoArchive>& DemoArchives();   // disc1.pak .. disc4.pak, publish.pak

constexpr uint32_t DEMO_MIN_FRAMES = 150;    // 10 s at 15 frames per second
constexpr uint32_t DEMO_MAX_FRAMES = 900;    // a minute, which keeps the set under 20 MB

uint32_t DemoClipFrames(unsigned archive, unsigned clip);
unsigned DemoClipFillers(unsigned archive, unsigned clip);   // 0 to 2

ArchiveBuilder BuildDemoArchive(unsigned archive);

// Writes every demo archive into dir (made when missing); returns the paths.
std::vector<std::string> WriteDemoArchives(const std::string& dir);

} // namespace testsupport
