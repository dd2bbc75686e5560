// What a damaged copy gives up to a salvage: for each kind of damage, whether
// the archive counts as damaged, where the fault is said to be, and which clips
// from clip 1 are whole enough to use.
#include "catalogue/ArchiveSalvage.h"
#include "ScanTestSupport.h"

#include <memory>

using testsupport::ArchiveBuilder;
using testsupport::BuiltClip;

TEST(ArchiveSalvage, EachDamageSavesTheWholeClipsBeforeIt)
{
    ArchiveBuilder whole;
    whole.AddClip(150).AddClip(160, 1).AddClip(170).AddClip(150, 2);
    const BuiltClip second = whole.Clips()[1];
    const BuiltClip third = whole.Clips()[2];
    ArchiveBuilder publisher(ArchiveBuilder::Layout::Publisher);
    publisher.AddClip(150).AddClip(160, 1);

    struct Case {
        const char* damage;
        ArchiveBuilder archive;
        bool damaged;
        uint32_t faultClip;
        uint32_t clips;       // salvaged
        std::string unsaved;
        std::string fault;    // of an archive the scan accepts; else the scan's own rejection
    };
    const auto cutLow = [](uint32_t clip, uint32_t missing) {
        return "clip " + std::to_string(clip) + ": the low-resolution video's size runs " + std::to_string(missing) +
               " bytes past the end of the archive";
    };
    const Case cases[] = {
        {"none", whole, false, 0, 0, "", ""},
        // A copy cut where a clip ends is a smaller archive, whole as far as the scan tells.
        {"cut after clip 2", ArchiveBuilder(whole).Truncate(third.entryOffset), false, 0, 0, "", ""},
        {"cut inside clip 3's KVP header", ArchiveBuilder(whole).Truncate(third.entryOffset + 5), true, 3, 2, "", ""},
        {"cut inside clip 3's high-resolution video", ArchiveBuilder(whole).Truncate(third.hiOffset + 100), true, 3,
         2, "", ""},
        {"cut inside clip 3's low-resolution size field", ArchiveBuilder(whole).Truncate(third.loOffset + 6), true, 3,
         2, "", ""},
        {"cut inside clip 3's low-resolution video", ArchiveBuilder(whole).Truncate(third.loOffset + 100), true, 3, 2,
         "", cutLow(3, third.loSize - 100)},
        {"cut inside clip 1's low-resolution video", ArchiveBuilder(whole).Truncate(whole.Clips()[0].loOffset + 100),
         true, 1, 0, "", cutLow(1, whole.Clips()[0].loSize - 100)},
        {"garbage KVP header at clip 3", ArchiveBuilder(whole).Overwrite(third.entryOffset, "\x93\x11Zq#\x01\xff\x7f"),
         true, 3, 2, "", ""},
        {"garbage size at clip 3", ArchiveBuilder(whole).SetU32(third.hiOffset + 4, 0x7A3F0011), true, 3, 2, "", ""},
        // Clip 2's size sends the scan into clip 3; clip 2 itself is then wrong.
        {"clip 2's low-resolution size too large", ArchiveBuilder(whole).SetU32(second.loOffset + 4, second.loSize),
         true, 3, 1,
         "clip 2: the low-resolution video's size field gives " + std::to_string(second.loSize + 8) +
             " bytes, its frame index ends at byte " + std::to_string(second.loSize),
         ""},
        {"not an archive", ArchiveBuilder().AppendText("Just some notes, not a disc archive at all.\n"), true, 1, 0,
         "", ""},
        {"publisher archive cut inside clip 2", ArchiveBuilder(publisher).Truncate(publisher.Clips()[1].hiOffset + 60),
         true, 2, 1, "", ""},
    };
    auto table = std::make_unique<ClipTable>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage);
        const std::vector<uint8_t>& bytes = c.archive.Bytes();
        const uint32_t length = static_cast<uint32_t>(bytes.size());
        CMemFile file(bytes.data(), length);
        ScanRejection rejection;
        const ScanResult result =
            ScanArchive(file, length, c.archive.GetLayout() == ArchiveBuilder::Layout::Publisher, *table, nullptr,
                        &rejection);
        const ArchiveSalvage salvage = SalvageArchive(file, length, result, rejection, *table);

        EXPECT_EQ(salvage.damaged, c.damaged);
        EXPECT_EQ(salvage.clips, c.clips);
        EXPECT_EQ(FindingsText(salvage.unsaved), c.unsaved);
        ExpectRecordsAsBuilt(*table, c.archive.Clips(), salvage.clips);
        for (uint32_t i = 0; i < salvage.clips; ++i)
            EXPECT_LE(ClipSpanEnd(GetClipSpan(table->aRecords[i], Resolution::Low)), length) << "clip " << i + 1;
        if (!c.damaged)
            continue;
        EXPECT_EQ(salvage.fault.clip, c.faultClip);
        if (result == ScanResult::Rejected) {
            EXPECT_EQ(salvage.fault.text, rejection.text);
            EXPECT_EQ(salvage.fault.offset, rejection.offset);
            EXPECT_EQ(salvage.before, table->nCount);
        } else {
            EXPECT_EQ(salvage.fault.text, c.fault);
            EXPECT_EQ(salvage.before, table->nCount - 1);
        }
    }
}
