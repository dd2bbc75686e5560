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
