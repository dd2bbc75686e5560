// The builder must make what it promises, or every scanner test built on it
// checks the wrong thing.
#include "samples/DemoArchives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace testsupport;

TEST(BinkBuilder, HeaderFollowsTheContainerLayout)
{
    const std::vector<uint8_t> bink = BuildBinkFile(HiResShape(61, 3));
    const uint32_t length = static_cast<uint32_t>(bink.size());
    EXPECT_EQ(0, std::memcmp(bink.data(), "BIKi", 4));
    EXPECT_EQ(length - 8, GetU32(bink, 4));
    EXPECT_EQ(61u, GetU32(bink, 8));
    EXPECT_EQ(61u, GetU32(bink, 16));
    EXPECT_EQ(640u, GetU32(bink, 20));
    EXPECT_EQ(448u, GetU32(bink, 24));
    EXPECT_EQ(15u, GetU32(bink, 28));
    EXPECT_EQ(1u, GetU32(bink, 32));
    EXPECT_EQ(0u, GetU32(bink, 36));
    EXPECT_EQ(0u, GetU32(bink, 40));

    const std::vector<uint32_t> sizes = BinkFrameSizes(HiResShape(61, 3));
    EXPECT_EQ(*std::max_element(sizes.begin(), sizes.end()), GetU32(bink, 12));

    const std::vector<uint8_t> lo = BuildBinkFile(LoResShape(61, 3));
    EXPECT_EQ(320u, GetU32(lo, 20));
    EXPECT_EQ(224u, GetU32(lo, 24));

    // The header alone differs from the whole file's in the length field only.
    std::vector<uint8_t> header = BinkHeader(HiResShape(61, 3), 5 * 1048576);
    EXPECT_EQ(5u * 1048576 - 8, GetU32(header, 4));
    PutU32(header, 4, length - 8);
    EXPECT_EQ(std::vector<uint8_t>(bink.begin(), bink.begin() + BINK_HEADER_SIZE), header);
}

TEST(BinkBuilder, FrameIndexCoversTheFramesWithEvenOffsets)
{
    const uint32_t frames = 95;
    const std::vector<uint8_t> bink = BuildBinkFile(LoResShape(frames, 7));
    uint32_t previous = BINK_HEADER_SIZE + 4 * (frames + 1);
    EXPECT_EQ(previous, GetU32(bink, BINK_HEADER_SIZE) & ~1u);
    for (uint32_t i = 0; i < frames; ++i) {
        const uint32_t entry = GetU32(bink, BINK_HEADER_SIZE + 4 * i);
        EXPECT_EQ(i % 30 == 0, (entry & 1) != 0) << "key flag of frame " << i;
        const uint32_t next = GetU32(bink, BINK_HEADER_SIZE + 4 * (i + 1)) & ~1u;
        EXPECT_EQ(0u, next % 2);
        EXPECT_GE(next, previous + 2);
        previous = next;
    }
    EXPECT_EQ(bink.size(), previous);
}

TEST(ArchiveBuilder, DiscEntryIsKvpFillersThenBothFiles)
{
    ArchiveBuilder builder;
    builder.AddClip(40, 2).AddClip(20);
    const std::vector<uint8_t>& bytes = builder.Bytes();
    const BuiltClip& first = builder.Clips()[0];
    EXPECT_EQ(0, std::memcmp(bytes.data(), "KVP", 3));
    EXPECT_EQ(40, bytes[6] | bytes[7] << 8);
    EXPECT_EQ(8u + 2 * 44, first.hiOffset);
    EXPECT_NE(0, std::memcmp(bytes.data() + 8, "BIK", 3));
    EXPECT_NE(0, std::memcmp(bytes.data() + 52, "BIK", 3));
    EXPECT_EQ(first.hiOffset + first.hiSize, first.loOffset);
    EXPECT_EQ(first.loOffset + first.loSize, builder.Clips()[1].entryOffset);
    EXPECT_EQ(builder.Clips()[1].loOffset + builder.Clips()[1].loSize, builder.Size());
}

TEST(ArchiveBuilder, PublisherEntryHasNoKvpHeader)
{
    ArchiveBuilder builder(ArchiveBuilder::Layout::Publisher);
    builder.AddClip(30);
    EXPECT_EQ(0u, builder.Clips()[0].hiOffset);
    EXPECT_EQ(0, std::memcmp(builder.Bytes().data(), "BIK", 3));
}

TEST(DemoArchives, AreDeterministicSmallAndRealistic)
{
    uint64_t total = 0;
    for (unsigned archive = 0; archive < DemoArchives().size(); ++archive) {
        const ArchiveBuilder once = BuildDemoArchive(archive);
        EXPECT_EQ(once.Bytes(), BuildDemoArchive(archive).Bytes());
        ASSERT_EQ(DemoArchives()[archive].clips, once.Clips().size());
        for (const BuiltClip& clip : once.Clips()) {
            EXPECT_GE(clip.frames, DEMO_MIN_FRAMES);
            EXPECT_LE(clip.frames, DEMO_MAX_FRAMES);
        }
        total += once.Size();
    }
    EXPECT_LT(total, 25u * 1024 * 1024);
}
