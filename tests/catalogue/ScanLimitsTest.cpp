// Where the format leaves a choice: the table's capacity, size fields that do
// not fit 32 bits, and reads cut short by the end of the archive.
#include "ScanTestSupport.h"

#include <memory>

using testsupport::ArchiveBuilder;

namespace {

const ArchiveBuilder::Layout kPublisher = ArchiveBuilder::Layout::Publisher;
constexpr uint32_t GUARD = 0xA5A5A5A5;

// A table with a guard band behind it: a record stored past the last slot
// would land in nCount or the guard.
struct GuardedTable {
    ClipTable table;
    uint32_t guard[16];
};

std::unique_ptr<GuardedTable> MakeGuardedTable()
{
    auto guarded = std::make_unique<GuardedTable>();
    for (uint32_t& word : guarded->guard)
        word = GUARD;
    return guarded;
}

void ExpectGuardIntact(const GuardedTable& guarded)
{
    for (uint32_t word : guarded.guard)
        EXPECT_EQ(GUARD, word);
}

ArchiveBuilder ArchiveOfClips(unsigned clips, ArchiveBuilder::Layout layout)
{
    ArchiveBuilder builder(layout);
    for (unsigned i = 0; i < clips; ++i)
        builder.AddClip(1 + i % 5);
    return builder;
}

} // namespace

TEST(ScanLimits, TwoHundredFiftySixClipsFillTheTable)
{
    for (ArchiveBuilder::Layout layout : {ArchiveBuilder::Layout::Disc, kPublisher}) {
        const ArchiveBuilder builder = ArchiveOfClips(256, layout);
        auto guarded = MakeGuardedTable();
        ASSERT_EQ(ScanResult::Accepted, ScanBuilt(builder, guarded->table).result);
        EXPECT_EQ(256u, guarded->table.nCount);
        ExpectRecordsAsBuilt(guarded->table, builder.Clips(), 256);
        ExpectGuardIntact(*guarded);
    }
}

TEST(ScanLimits, MoreThan256ClipsRejectedWithoutPassingTheLastSlot)
{
    for (ArchiveBuilder::Layout layout : {ArchiveBuilder::Layout::Disc, kPublisher}) {
        const ArchiveBuilder builder = ArchiveOfClips(257, layout);
        auto guarded = MakeGuardedTable();
        const ScanOutcome outcome = ScanBuilt(builder, guarded->table);
        EXPECT_EQ(ScanResult::Rejected, outcome.result);
        EXPECT_EQ(256u, guarded->table.nCount);
        EXPECT_EQ(256u, outcome.progress.size());
        ExpectRecordsAsBuilt(guarded->table, builder.Clips(), 256);
        ExpectGuardIntact(*guarded);
    }
}

TEST(ScanLimits, SizeFieldWhoseWholeLengthWrapsIsRejected)
{
    // 0xFFFFFFF8 + 8 wraps to 0: left unchecked, the cursor would not move and
    // the same clip would be recorded over and over.
    for (bool lowResolution : {false, true}) {
        ArchiveBuilder builder;
        builder.AddClip(150);
        const testsupport::BuiltClip clip = builder.Clips()[0];
        builder.SetU32((lowResolution ? clip.loOffset : clip.hiOffset) + 4, 0xFFFFFFF8);
        auto guarded = MakeGuardedTable();
        const ScanOutcome outcome = ScanBuilt(builder, guarded->table);
        EXPECT_EQ(ScanResult::Rejected, outcome.result);
        EXPECT_EQ(0u, guarded->table.nCount);
        ExpectGuardIntact(*guarded);
    }
}

TEST(ScanLimits, SizeFieldThatCarriesTheCursorPast32BitsIsRejected)
{
    for (bool lowResolution : {false, true}) {
        ArchiveBuilder builder;
        builder.AddClip(150);
        const testsupport::BuiltClip clip = builder.Clips()[0];
        const uint32_t start = lowResolution ? clip.loOffset : clip.hiOffset;
        // The whole length fits 32 bits; the file's end one byte does not.
        builder.SetU32(start + 4, 0xFFFFFFFFu - 8 - start + 1);
        auto table = std::make_unique<ClipTable>();
        EXPECT_EQ(ScanResult::Rejected, ScanBuilt(builder, *table).result);
        EXPECT_EQ(0u, table->nCount);
    }
}

TEST(ScanLimits, SizeFieldPastTheSignedSeekRangeIsRejectedNotAFileError)
{
    // The next tag would lie beyond 2 GiB: no seek is tried there.
    ArchiveBuilder builder;
    builder.AddClip(150);
    builder.SetU32(builder.Clips()[0].hiOffset + 4, 0x90000000);
    auto table = std::make_unique<ClipTable>();
    EXPECT_EQ(ScanResult::Rejected, ScanBuilt(builder, *table).result);
}

TEST(ScanLimits, HeaderBeyondTheSignedSeekRangeIsRejectedNotAFileError)
{
    // A file that claims to be 3.75 GiB long, whose first clip would end past
    // 2 GiB: the low-resolution tag there cannot be reached by a signed seek.
    ArchiveBuilder builder(kPublisher);
    builder.AddClip(150);
    builder.SetU32(4, 0x80000000);
    CMemFile file(builder.Bytes().data(), builder.Size());
    auto table = std::make_unique<ClipTable>();
    EXPECT_EQ(ScanResult::Rejected, ScanFile(file, 0xF0000000u, true, *table).result);
}

TEST(ScanLimits, ArchiveEndingInsideAHeaderIsRejected)
{
    ArchiveBuilder whole;
    whole.AddClip(150, 1).AddClip(160);
    const testsupport::BuiltClip second = whole.Clips()[1];
    const struct {
        const char* where;
        uint32_t length;
    } cuts[] = {
        {"inside the KVP value", second.entryOffset + 7},
        {"inside the high-resolution size field", second.hiOffset + 6},
        {"inside the frame count", second.hiOffset + 10},
        {"inside the low-resolution size field", second.loOffset + 5},
        {"right after the low-resolution tag", second.loOffset + 4},
    };
    testsupport::ScratchFolder folder;
    for (const auto& cut : cuts) {
        ArchiveBuilder builder = whole;
        builder.Truncate(cut.length);
        auto table = std::make_unique<ClipTable>();
        const ScanOutcome outcome = ScanPath(folder.Write("disc1.pak", builder.Bytes()), false, *table);
        EXPECT_EQ(ScanResult::Rejected, outcome.result) << cut.where;
        EXPECT_EQ(1u, table->nCount) << cut.where;
    }
}

TEST(ScanLimits, ShortReadOfATagGroupIsAMismatch)
{
    // The file is shorter than the length taken before the scan (it shrank in
    // between): every group the scan tries past the real end reads short.
    for (ArchiveBuilder::Layout layout : {ArchiveBuilder::Layout::Disc, kPublisher}) {
        const ArchiveBuilder builder = ArchiveOfClips(2, layout);
        CMemFile file(builder.Bytes().data(), builder.Size());
        auto table = std::make_unique<ClipTable>();
        const ScanOutcome outcome = ScanFile(file, builder.Size() + 500, layout == kPublisher, *table);
        EXPECT_EQ(ScanResult::Rejected, outcome.result);
        EXPECT_EQ(2u, table->nCount);
    }
}
