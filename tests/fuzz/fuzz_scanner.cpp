// Feeds arbitrary bytes to the scanner over a memory file. The first byte picks
// the layout (bit 0 set: publisher); the rest is the archive. Whatever the
// bytes, an accepted table must describe clips that lie one after another, and
// a rejection must say why, for the clip after the last one kept. The checks of
// verify then read the headers of whatever clips were kept, and a salvage keeps
// only clips that lie whole inside the archive, reading nothing past its end.
#include "catalogue/ArchiveSalvage.h"
#include "catalogue/ArchiveScanner.h"
#include "catalogue/ClipChecks.h"
#include "file/MemFile.h"

#include <cstddef>
#include <cstdint>

namespace {

ClipTable g_table;

// A memory file that traps, once strict, on any read that would run past its end:
// the scan may ask for more than is left, a salvage never should.
class BoundedFile : public CMemFile {
public:
    using CMemFile::CMemFile;

    bool strict = false;

    uint32_t Read(void* buffer, uint32_t count) override
    {
        if (strict && Seek64(0, CFile::current) + count > GetLength64())
            __builtin_trap();
        return CMemFile::Read(buffer, count);
    }
    uint32_t ReadAt(uint64_t position, void* buffer, uint32_t count) override
    {
        if (strict && position + count > GetLength64())
            __builtin_trap();
        return CMemFile::ReadAt(position, buffer, count);
    }
};

void CheckSalvage(BoundedFile& archive, uint32_t length, ScanResult result, const ScanRejection& rejection)
{
    archive.strict = true;
    const ArchiveSalvage salvage = SalvageArchive(archive, length, result, rejection, g_table);
    archive.strict = false;
    if (salvage.clips > salvage.before || salvage.before > g_table.nCount ||
        salvage.unsaved.empty() != (salvage.clips == salvage.before))
        __builtin_trap();
    if (!salvage.damaged) {
        if (result != ScanResult::Accepted || salvage.clips != 0)
            __builtin_trap();
        return;
    }
    // The fault comes right after the clips read whole before it.
    if (salvage.fault.clip != salvage.before + 1 || salvage.fault.text.compare(0, 5, "clip ") != 0)
        __builtin_trap();
    if (result == ScanResult::Rejected && (salvage.fault.text != rejection.text || salvage.before != g_table.nCount))
        __builtin_trap();
    for (uint32_t i = 0; i < salvage.clips; ++i) {
        if (ClipSpanEnd(GetClipSpan(g_table.aRecords[i], Resolution::Low)) > length)
            __builtin_trap();
    }
    for (const ClipFinding& finding : salvage.unsaved) {
        if (finding.clip != salvage.clips + 1)
            __builtin_trap();
    }
}

void CheckAcceptedTable(const ClipTable& table, uint32_t length, uint32_t reports, uint32_t lastReport)
{
    if (table.nCount > MAX_CLIPS || reports != table.nCount)
        __builtin_trap();
    uint32_t entryEnd = 0;
    for (uint32_t i = 0; i < table.nCount; ++i) {
        const ClipRecord& clip = table.aRecords[i];
        if (clip.dwLoOffset != clip.dwHiOffset + clip.dwHiSize)
            __builtin_trap();
        // No sum may have wrapped: every clip starts after the previous one ends.
        if (clip.dwHiOffset < entryEnd || clip.dwLoOffset < clip.dwHiOffset ||
            uint64_t(clip.dwLoOffset) + clip.dwLoSize > UINT32_MAX)
            __builtin_trap();
        entryEnd = clip.dwLoOffset + clip.dwLoSize;
    }
    if (table.nCount > 0 && (lastReport != entryEnd || entryEnd < length))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size - 1 > INT32_MAX)
        return 0;
    const bool publisher = (data[0] & 1) != 0;
    const uint32_t length = static_cast<uint32_t>(size - 1);
    BoundedFile archive(data + 1, length);

    uint32_t reports = 0;
    uint32_t lastReport = 0;
    const ScanProgress progress = [&](uint32_t cursor) {
        if (reports > 0 && cursor <= lastReport)
            __builtin_trap();
        ++reports;
        lastReport = cursor;
    };
    try {
        ScanRejection rejection;
        const ScanResult result = ScanArchive(archive, length, publisher, g_table, progress, &rejection);
        if (result == ScanResult::Accepted)
            CheckAcceptedTable(g_table, length, reports, lastReport);
        else if (g_table.nCount > MAX_CLIPS || rejection.clip != g_table.nCount + 1 ||
                 rejection.text.compare(0, 5, "clip ") != 0)
            __builtin_trap();
        CheckSalvage(archive, length, result, rejection);
        for (const ClipFinding& finding : CheckClips(archive, length, g_table)) {
            if (finding.clip < 1 || finding.clip > g_table.nCount)
                __builtin_trap();
        }
    } catch (const CFileException&) {
        // A file error ends a scan as it would in the viewer.
    }
    return 0;
}
