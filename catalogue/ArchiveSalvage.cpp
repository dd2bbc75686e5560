#include "catalogue/ArchiveSalvage.h"

#include <algorithm>
#include <string>

namespace {

// The one fault the scan lets pass: the last clip's low-resolution video runs
// past the end of the archive (the high-resolution one never does, as the scan
// looks for the low-resolution tag after it). Worded as the scan words a cut
// high-resolution video.
bool CutLastClip(uint32_t length, const ClipTable& table, uint32_t kept, ScanRejection& fault)
{
    if (kept == 0)
        return false;
    const uint64_t end = ClipSpanEnd(GetClipSpan(table.aRecords[kept - 1], Resolution::Low));
    if (end <= length)
        return false;
    fault.clip = kept;
    // The scan refuses any clip whose end does not fit in 32 bits.
    fault.offset = static_cast<uint32_t>(std::min<uint64_t>(end, UINT32_MAX));
    fault.text = "clip " + std::to_string(kept) + ": the low-resolution video's size runs " +
                 std::to_string(end - length) + " bytes past the end of the archive";
    return true;
}

} // namespace

ArchiveSalvage SalvageArchive(CFile& archive, uint32_t length, ScanResult result, const ScanRejection& rejection,
                              const ClipTable& table)
{
    ArchiveSalvage salvage;
    const uint32_t kept = std::min(table.nCount, MAX_CLIPS);
    if (result == ScanResult::Rejected) {
        salvage.fault = rejection;
        salvage.before = kept;
    } else if (CutLastClip(length, table, kept, salvage.fault)) {
        salvage.before = kept - 1;
    } else {
        return salvage;   // whole, as far as the scan can tell: nothing to salvage
    }
    salvage.damaged = true;
    // Each clip lies where the sizes of the ones before it say: past a clip
    // whose headers disagree with its record, no position can be trusted.
    for (uint32_t i = 0; i < salvage.before; ++i) {
        for (const Resolution resolution : {Resolution::High, Resolution::Low}) {
            const std::vector<ClipFinding> found = CheckEncoding(archive, length, table, i, resolution);
            salvage.unsaved.insert(salvage.unsaved.end(), found.begin(), found.end());
        }
        if (!salvage.unsaved.empty())
            break;
        ++salvage.clips;
    }
    return salvage;
}
