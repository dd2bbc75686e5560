// The new archive's bytes: every byte outside the replaced clip's two files
// as it was, the header's frame field, and what the scan then finds.
#include "catalogue/ArchiveScanner.h"
#include "file/FileException.h"
#include "file/MemFile.h"
#include "output/ArchiveWriter.h"
#include "samples/ArchiveBuilder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testsupport;

namespace {

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, uint32_t from, uint32_t to)
{
    return std::vector<uint8_t>(bytes.begin() + from, bytes.begin() + to);
}

std::vector<uint8_t> Written(const ArchivePlan& plan)
{
    CMemFile target;
    uint64_t last = 0;
    WriteArchive(plan, target, [&last](uint64_t written) { last = written; });
    EXPECT_EQ(last, plan.size);
    return target.Data();
}

// The scan of bytes finds the clips where the plan says.
void ExpectScanFinds(const std::vector<uint8_t>& bytes, bool publisher, const ArchivePlan& plan)
{
    CMemFile file(bytes.data(), static_cast<uint32_t>(bytes.size()));
    std::unique_ptr<ClipTable> table(new ClipTable());
    ASSERT_EQ(ScanArchive(file, static_cast<uint32_t>(bytes.size()), publisher, *table, nullptr),
              ScanResult::Accepted);
    ASSERT_EQ(table->nCount, plan.clips.size());
    for (uint32_t i = 0; i < table->nCount; ++i) {
        const ClipRecord& found = table->aRecords[i];
        const ClipRecord& planned = plan.clips[i];
        EXPECT_EQ(found.dwHiOffset, planned.dwHiOffset) << i;
        EXPECT_EQ(found.dwHiSize, planned.dwHiSize) << i;
        EXPECT_EQ(found.dwLoSize, planned.dwLoSize) << i;
        EXPECT_EQ(found.dwFrames, planned.dwFrames) << i;
    }
}

struct ReplaceCase {
    ArchiveBuilder::Layout layout;
    uint32_t index;
    uint32_t frames;   // of the new clip: its files grow or shrink with them
};

class ArchiveWriterReplace : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ArchiveWriterReplace, KeepsEveryByteOutsideTheClip)
{
    const ReplaceCase c = GetParam();
    const bool publisher = c.layout == ArchiveBuilder::Layout::Publisher;
    ArchiveBuilder builder(c.layout);
    builder.AddClip(20, 1).AddClip(30, 2).AddClip(25, 0);
    const std::vector<uint8_t>& old = builder.Bytes();
    CMemFile archive(old.data(), builder.Size(), "disc2.pak");
    std::unique_ptr<ClipTable> table(new ClipTable());
    ASSERT_EQ(ScanArchive(archive, builder.Size(), publisher, *table, nullptr), ScanResult::Accepted);

    const std::vector<uint8_t> hiBytes = BuildBinkFile(HiResShape(c.frames, 9));
    const std::vector<uint8_t> loBytes = BuildBinkFile(LoResShape(c.frames, 9));
    CMemFile hi(hiBytes.data(), static_cast<uint32_t>(hiBytes.size()));
    CMemFile lo(loBytes.data(), static_cast<uint32_t>(loBytes.size()));
    NewClip clip;
    clip.hi = &hi;
    clip.hiSize = static_cast<uint32_t>(hiBytes.size());
    clip.hiFrames = c.frames;
    clip.lo = &lo;
    clip.loSize = static_cast<uint32_t>(loBytes.size());
    const ArchivePlan plan = PlanReplace(archive, builder.Size(), publisher, *table, c.index, clip, "new.pak");
    const std::vector<uint8_t> bytes = Written(plan);
    ASSERT_EQ(bytes.size(), plan.size);

    const BuiltClip& was = builder.Clips()[c.index];
    const uint32_t newHi = plan.clips[c.index].dwHiOffset;
    EXPECT_EQ(newHi, was.hiOffset);
    // Before the clip's files: all as it was but the header's field.
    std::vector<uint8_t> before = Slice(old, 0, was.hiOffset);
    if (!publisher) {
        before[was.entryOffset + 6] = static_cast<uint8_t>(c.frames);
        before[was.entryOffset + 7] = static_cast<uint8_t>(c.frames >> 8);
    }
    EXPECT_EQ(Slice(bytes, 0, was.hiOffset), before);
    EXPECT_EQ(Slice(bytes, newHi, newHi + clip.hiSize), hiBytes);
    EXPECT_EQ(Slice(bytes, newHi + clip.hiSize, newHi + clip.hiSize + clip.loSize), loBytes);
    const uint32_t oldEnd = was.loOffset + was.loSize;
    EXPECT_EQ(Slice(bytes, newHi + clip.hiSize + clip.loSize, static_cast<uint32_t>(bytes.size())),
              Slice(old, oldEnd, builder.Size()));
    ExpectScanFinds(bytes, publisher, plan);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArchiveWriterReplace,
                         ::testing::Values(ReplaceCase{ArchiveBuilder::Layout::Disc, 0, 40},
                                           ReplaceCase{ArchiveBuilder::Layout::Disc, 1, 3},
                                           ReplaceCase{ArchiveBuilder::Layout::Disc, 2, 0x1234},
                                           ReplaceCase{ArchiveBuilder::Layout::Publisher, 1, 50}));

TEST(ArchiveWriterPack, WritesWhatTheBuilderWritesWithoutFillers)
{
    for (const ArchiveBuilder::Layout layout : {ArchiveBuilder::Layout::Disc, ArchiveBuilder::Layout::Publisher}) {
        ArchiveBuilder builder(layout);
        builder.AddClip(20).AddClip(35);
        std::vector<std::unique_ptr<CMemFile>> files;
        std::vector<NewClip> clips;
        for (const BuiltClip& built : builder.Clips()) {
            files.emplace_back(new CMemFile(builder.Bytes().data() + built.hiOffset, built.hiSize));
            files.emplace_back(new CMemFile(builder.Bytes().data() + built.loOffset, built.loSize));
            NewClip clip;
            clip.hi = files[files.size() - 2].get();
            clip.hiSize = built.hiSize;
            clip.hiFrames = built.frames;
            clip.lo = files.back().get();
            clip.loSize = built.loSize;
            clips.push_back(clip);
        }
        const ArchivePlan plan = PlanPack(clips, layout == ArchiveBuilder::Layout::Publisher, "new.pak");
        EXPECT_EQ(Written(plan), builder.Bytes());
    }
}

TEST(ArchiveWriterRefusals, FramesPastTheHeaderAndSizesPastTwoGibibytes)
{
    CMemFile none;
    NewClip many;
    many.hi = &none;
    many.lo = &none;
    many.hiFrames = MOST_HEADER_FRAMES + 1;
    many.hiName = "long-001h.bik";
    try {
        PlanPack({many}, false, "new.pak");
        ADD_FAILURE() << "no refusal";
    } catch (const CFailure& refusal) {
        EXPECT_EQ(refusal.GetErrorMessage(), "long-001h.bik: has 65536 frames; a clip header holds 65535 at most");
    }
    EXPECT_NO_THROW(PlanPack({many}, true, "publish.pak"));   // no header to hold them

    NewClip large = many;
    large.hiFrames = 10;
    large.hiSize = large.loSize = MOST_ARCHIVE_BYTES / 2;   // 8 bytes of header past the reach
    try {
        PlanPack({large}, false, "new.pak");
        ADD_FAILURE() << "no refusal";
    } catch (const CFailure& refusal) {
        EXPECT_EQ(refusal.GetErrorMessage(),
                  "new.pak: the new archive would be 2147483654 bytes, past 2 GiB, the most an archive holds");
    }
    EXPECT_NO_THROW(PlanPack({large}, true, "publish.pak"));   // within the reach
}

} // namespace
