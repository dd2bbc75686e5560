#pragma once
// What a damaged copy of an archive still offers. The scan stops at the first
// fault it meets and keeps the clips it read whole before it; of those, the ones
// worth using are the run from clip 1 whose two encodings lie whole inside the
// file and pass the header checks (ClipChecks). The viewer never salvages: a
// caller that asks for it does, after the scan, from what the scan left.
#include "catalogue/ArchiveScanner.h"
#include "catalogue/ClipChecks.h"
#include "catalogue/ClipTable.h"

#include <cstdint>
#include <vector>

class CFile;

struct ArchiveSalvage {
    bool damaged = false;               // the scan refused the archive, or its last clip is cut short
    ScanRejection fault;                // where the damage begins, worded as the scan's refusals are
    uint32_t before = 0;                // clips read whole before the fault (0 when not damaged)
    uint32_t clips = 0;                 // of those, clips 1 .. clips can be used
    std::vector<ClipFinding> unsaved;   // why clip clips + 1, read before the fault, cannot
};

// result, rejection and table as ScanArchive left them. An accepted archive
// whose last clip runs past its end (a copy cut inside the last low-resolution
// video, which the scan lets pass) is damaged too, that clip being the fault.
// Only the clips' headers are read, each inside the archive's length.
ArchiveSalvage SalvageArchive(CFile& archive, uint32_t length, ScanResult result, const ScanRejection& rejection,
                              const ClipTable& table);
