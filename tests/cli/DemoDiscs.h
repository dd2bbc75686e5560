#pragma once
// The demo archives as the CLI tests name them, and disc4.pak cut inside its last
// clip's low-resolution file: a copy cut short that the scan still accepts.
#include "samples/DemoArchives.h"

constexpr unsigned DISC1 = 0;
constexpr unsigned DISC2 = 1;
constexpr unsigned DISC4 = 3;
constexpr unsigned PUBLISHER = 4;

// missing: how many bytes of that file are cut off, from 1 to its size.
inline testsupport::ArchiveBuilder CutDisc4(uint32_t missing)
{
    testsupport::ArchiveBuilder archive = testsupport::BuildDemoArchive(DISC4);
    const testsupport::BuiltClip& last = archive.Clips().back();
    archive.Truncate(last.loOffset + last.loSize - missing);
    return archive;
}
