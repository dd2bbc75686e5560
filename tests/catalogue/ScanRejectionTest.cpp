// Archives that break the format: each is rejected where the break is met, and
// the table keeps only the clips read completely before it.
#include "ScanTestSupport.h"

#include <memory>

using testsupport::ArchiveBuilder;
using testsupport::BuildBinkFile;
using testsupport::HiResShape;
using testsupport::LoResShape;

namespace {

const ArchiveBuilder::Layout kPublisher = ArchiveBuilder::Layout::Publisher;

void ExpectRejectedAfter(const ScanOutcome& outcome, const ClipTable& table, uint32_t clips)
{
    EXPECT_EQ(ScanResult::Rejected, outcome.result);
    EXPECT_EQ(clips, table.nCount);
    EXPECT_EQ(clips, outcome.progress.size());
}

} // namespace

TEST(ScanRejection, DiscEntryWithoutKvpHeader)
{
    auto table = std::make_unique<ClipTable>();
    ArchiveBuilder publisherLayout(kPublisher);
    publisherLayout.AddClip(150);
    ExpectRejectedAfter(ScanBytes(publisherLayout.Bytes(), false, *table), *table, 0);

    ArchiveBuilder secondDamaged;
    secondDamaged.AddClip(150).AddClip(150);
    secondDamaged.Overwrite(secondDamaged.Clips()[1].entryOffset, "KVQ");
    ExpectRejectedAfter(ScanBuilt(secondDamaged, *table), *table, 1);
}

TEST(ScanRejection, TagsAreCaseSensitiveAndExact)
{
    auto table = std::make_unique<ClipTable>();
    for (const char* tag : {"bik", "BIC", "BIk"}) {
        ArchiveBuilder builder;
        builder.AddClip(150);
        builder.Overwrite(builder.Clips()[0].loOffset, tag);
        ExpectRejectedAfter(ScanBuilt(builder, *table), *table, 0);
    }
    ArchiveBuilder lowerKvp;
    lowerKvp.AddClip(150).Overwrite(0, "kvp");
    ExpectRejectedAfter(ScanBuilt(lowerKvp, *table), *table, 0);
}

TEST(ScanRejection, FillerBetweenTheTwoEncodings)
{
    ArchiveBuilder builder;
    builder.AppendKvpHeader(150)
        .AppendBytes(BuildBinkFile(HiResShape(150)))
        .AppendFillers(1)
        .AppendBytes(BuildBinkFile(LoResShape(150)));
    auto table = std::make_unique<ClipTable>();
    ExpectRejectedAfter(ScanBuilt(builder, *table), *table, 0);
}

TEST(ScanRejection, BytesAfterTheLastClipOfADiscArchive)
{
    ArchiveBuilder builder;
    builder.AddClip(150).AddClip(160).AppendText("not a clip entry");
    auto table = std::make_unique<ClipTable>();
    ExpectRejectedAfter(ScanBuilt(builder, *table), *table, 2);
    ExpectRecordsAsBuilt(*table, builder.Clips(), 2);
}

TEST(ScanRejection, BytesAfterTheLastClipOfAPublisherArchive)
{
    // No "BIK" at any multiple of 44 bytes from the end of the last clip.
    ArchiveBuilder builder(kPublisher);
    builder.AddClip(150).AddClip(160).AppendFillers(2).AppendText("trailing bytes");
    auto table = std::make_unique<ClipTable>();
    ExpectRejectedAfter(ScanBuilt(builder, *table), *table, 2);
}

TEST(ScanRejection, NoBinkFileBeforeTheEnd)
{
    auto table = std::make_unique<ClipTable>();
    ArchiveBuilder fillersOnly;
    fillersOnly.AppendKvpHeader().AppendFillers(3);
    ExpectRejectedAfter(ScanBuilt(fillersOnly, *table), *table, 0);

    // A tag that starts fewer than four bytes before the end is no tag.
    ArchiveBuilder cutTag(kPublisher);
    cutTag.AppendFillers(1).AppendText("BIK");
    ExpectRejectedAfter(ScanBuilt(cutTag, *table), *table, 0);

    ArchiveBuilder tiny;
    tiny.AppendText("KV");
    ExpectRejectedAfter(ScanBuilt(tiny, *table), *table, 0);

    ArchiveBuilder kvpOnly;
    kvpOnly.AppendKvpHeader();
    ExpectRejectedAfter(ScanBuilt(kvpOnly, *table), *table, 0);
}

TEST(ScanRejection, PublisherLayoutIsChosenByTheCaller)
{
    ArchiveBuilder discLayout;
    discLayout.AddClip(150);
    auto table = std::make_unique<ClipTable>();
    // Scanned as a publisher archive, the KVP header is a 44-byte-aligned
    // nothing; the Bink file at offset 8 is never met.
    ExpectRejectedAfter(ScanBytes(discLayout.Bytes(), true, *table), *table, 0);
}

TEST(ScanRejection, ReasonNamesTheClipTheFieldAndTheOffset)
{
    ArchiveBuilder twoClips;
    twoClips.AddClip(150).AddClip(160);
    const testsupport::BuiltClip first = twoClips.Clips()[0];
    const testsupport::BuiltClip second = twoClips.Clips()[1];

    struct Case {
        ArchiveBuilder archive;
        bool publisher;
        uint32_t offset;
        std::string text;
        uint32_t length = 0;   // 0: the archive's own
    };
    ArchiveBuilder publisherLayout(kPublisher);
    ArchiveBuilder hiRunsPast = twoClips;
    hiRunsPast.SetU32(second.hiOffset + 4, twoClips.Size() + 5 - 8 - second.hiOffset);
    ArchiveBuilder loWraps = twoClips;
    loWraps.SetU32(first.loOffset + 4, 0xFFFFFFF8);
    ArchiveBuilder beyondReach(kPublisher);
    beyondReach.AddClip(150).SetU32(4, 0x80000000);
    ArchiveBuilder tooMany;
    for (int i = 0; i < 257; ++i)
        tooMany.AddClip(1);
    const uint32_t hiEnd = 8 + BuildBinkFile(HiResShape(150)).size();

    const Case cases[] = {
        {publisherLayout.AddClip(150), false, 0, "clip 1: no KVP header at offset 0"},
        {ArchiveBuilder(twoClips).AppendText("not a clip entry"), false, twoClips.Size(),
         "clip 3: no KVP header at offset " + std::to_string(twoClips.Size()) + ", where clip 2 ends"},
        {ArchiveBuilder(twoClips).Truncate(second.entryOffset + 3), false, second.entryOffset,
         "clip 2: the archive ends inside the KVP header at offset " + std::to_string(second.entryOffset)},
        {ArchiveBuilder(twoClips).Truncate(second.entryOffset + 6), false, second.entryOffset,
         "clip 2: the archive ends inside the KVP header at offset " + std::to_string(second.entryOffset)},
        {ArchiveBuilder().AppendKvpHeader().AppendFillers(3), false, 8,
         "clip 1: no BIK tag for the high-resolution video between offset 8 and the end of the archive"},
        {ArchiveBuilder(twoClips).Truncate(second.hiOffset + 6), false, second.hiOffset,
         "clip 2: the archive ends inside the high-resolution video's header at offset " +
             std::to_string(second.hiOffset)},
        {hiRunsPast, false, twoClips.Size() + 5,
         "clip 2: the high-resolution video's size runs 5 bytes past the end of the archive"},
        {ArchiveBuilder().AppendKvpHeader().AppendBytes(BuildBinkFile(HiResShape(150))), false, hiEnd,
         "clip 1: the archive ends right after the high-resolution video, at offset " + std::to_string(hiEnd) +
             ": the low-resolution video is missing"},
        {ArchiveBuilder().AppendKvpHeader().AppendBytes(BuildBinkFile(HiResShape(150))).AppendText("BI"), false,
         hiEnd, "clip 1: the archive ends inside the low-resolution video's BIK tag at offset " + std::to_string(hiEnd)},
        {ArchiveBuilder()
             .AppendKvpHeader()
             .AppendBytes(BuildBinkFile(HiResShape(150)))
             .AppendFillers(1)
             .AppendBytes(BuildBinkFile(LoResShape(150))),
         false, hiEnd,
         "clip 1: no BIK tag at offset " + std::to_string(hiEnd) +
             ", where the high-resolution video's size says the low-resolution video begins"},
        {loWraps, false, first.loOffset + 4,
         "clip 1: the low-resolution video's size, 4294967288 at offset " + std::to_string(first.loOffset + 4) +
             ", runs past 4 GiB"},
        {beyondReach, true, 0x80000008,
         "clip 1: the low-resolution video's BIK tag at offset 2147483656 lies beyond 2 GiB, out of the "
         "format's reach",
         0xF0000000u},
        {tooMany, false, tooMany.Clips()[256].hiOffset, "clip 257: more than 256 clips, the most an archive holds"},
    };
    auto table = std::make_unique<ClipTable>();
    for (const Case& c : cases) {
        CMemFile file(c.archive.Bytes().data(), c.archive.Size());
        ScanRejection rejection;
        const ScanResult result =
            ScanArchive(file, c.length ? c.length : c.archive.Size(), c.publisher, *table, nullptr, &rejection);
        EXPECT_EQ(ScanResult::Rejected, result) << c.text;
        EXPECT_EQ(c.text, rejection.text);
        EXPECT_EQ(c.offset, rejection.offset) << c.text;
        EXPECT_EQ(table->nCount + 1, rejection.clip) << c.text;
    }
}
