// Archives that follow the format, and what the scan records of them.
#include "ScanTestSupport.h"

#include "catalogue/DiscIdentity.h"
#include "CountingFiles.h"
#include "samples/DemoArchives.h"

#include <memory>

using testsupport::ArchiveBuilder;
using testsupport::BuildBinkFile;
using testsupport::HiResShape;
using testsupport::LoResShape;

namespace {

const ArchiveBuilder::Layout kPublisher = ArchiveBuilder::Layout::Publisher;

// Every record below nCount: the low-resolution file follows at once, and the
// gap to the next clip is a KVP header (disc layout) plus whole filler blocks.
void ExpectTableInvariants(const ClipTable& table, bool publisher)
{
    const uint32_t header = publisher ? 0 : 8;
    uint32_t entry = 0;
    for (uint32_t i = 0; i < table.nCount; ++i) {
        const ClipRecord& record = table.aRecords[i];
        EXPECT_EQ(record.dwHiOffset + record.dwHiSize, record.dwLoOffset) << "clip " << i;
        ASSERT_GE(record.dwHiOffset, entry + header) << "clip " << i;
        EXPECT_EQ(0u, (record.dwHiOffset - entry - header) % 44) << "clip " << i;
        entry = record.dwLoOffset + record.dwLoSize;
    }
}

} // namespace

TEST(ScanAcceptance, EmptyFileHasNoClipsWhateverItsLayout)
{
    auto table = std::make_unique<ClipTable>();
    for (bool publisher : {false, true}) {
        table->nCount = 5;
        const ScanOutcome outcome = ScanBytes({}, publisher, *table);
        EXPECT_EQ(ScanResult::Accepted, outcome.result);
        EXPECT_EQ(0u, table->nCount);
        EXPECT_TRUE(outcome.progress.empty());
    }
}

TEST(ScanAcceptance, FirstBinkFileFollowsKvpHeaderAndFillers)
{
    auto table = std::make_unique<ClipTable>();
    ArchiveBuilder bare;
    bare.AddClip(150);
    ASSERT_EQ(ScanResult::Accepted, ScanBuilt(bare, *table).result);
    EXPECT_EQ(8u, table->aRecords[0].dwHiOffset);
    EXPECT_EQ(8u + table->aRecords[0].dwHiSize, table->aRecords[0].dwLoOffset);

    ArchiveBuilder twoFillers;
    twoFillers.AddClip(150, 2);
    ASSERT_EQ(ScanResult::Accepted, ScanBuilt(twoFillers, *table).result);
    EXPECT_EQ(96u, table->aRecords[0].dwHiOffset);
}

TEST(ScanAcceptance, PublisherEntriesHaveNoKvpHeader)
{
    auto table = std::make_unique<ClipTable>();
    ArchiveBuilder bare(kPublisher);
    bare.AddClip(150);
    ASSERT_EQ(ScanResult::Accepted, ScanBuilt(bare, *table).result);
    EXPECT_EQ(0u, table->aRecords[0].dwHiOffset);

    ArchiveBuilder oneFiller(kPublisher);
    oneFiller.AddClip(150, 1);
    ASSERT_EQ(ScanResult::Accepted, ScanBuilt(oneFiller, *table).result);
    EXPECT_EQ(44u, table->aRecords[0].dwHiOffset);
}

TEST(ScanAcceptance, WholeLengthIsTheSizeFieldPlusEight)
{
    // The file runs 10 bytes past its last frame, and its size field says so.
    std::vector<uint8_t> hi = BuildBinkFile(HiResShape(20));
    const uint32_t whole = static_cast<uint32_t>(hi.size()) + 10;
    hi.resize(whole);
    testsupport::PutU32(hi, 4, whole - 8);
    ArchiveBuilder builder;
    builder.AddClip(hi, BuildBinkFile(LoResShape(20)));

    auto table = std::make_unique<ClipTable>();
    ASSERT_EQ(ScanResult::Accepted, ScanBuilt(builder, *table).result);
    EXPECT_EQ(whole, table->aRecords[0].dwHiSize);
    EXPECT_EQ(8u + whole, table->aRecords[0].dwLoOffset);
}

TEST(ScanAcceptance, RecordsEveryClipAsLaidOutInBothLayouts)
{
    for (ArchiveBuilder::Layout layout : {ArchiveBuilder::Layout::Disc, kPublisher}) {
        ArchiveBuilder builder(layout);
        const unsigned fillers[] = {0, 1, 3, 0, 2};
        for (unsigned i = 0; i < 5; ++i)
            builder.AddClip(150 + 97 * i, fillers[i]);
        auto table = std::make_unique<ClipTable>();
        ASSERT_EQ(ScanResult::Accepted, ScanBuilt(builder, *table).result);
        ASSERT_EQ(5u, table->nCount);
        ExpectRecordsAsBuilt(*table, builder.Clips(), 5);
        ExpectTableInvariants(*table, layout == kPublisher);
    }
}

TEST(ScanAcceptance, FrameCountComesFromTheHighResolutionFileOnly)
{
    ArchiveBuilder builder;
    builder.AddClip(BuildBinkFile(HiResShape(300)), BuildBinkFile(LoResShape(120)), 1, /*kvpValue=*/7);
    auto table = std::make_unique<ClipTable>();
    ASSERT_EQ(ScanResult::Accepted, ScanBuilt(builder, *table).result);
    EXPECT_EQ(300u, table->aRecords[0].dwFrames);
}

TEST(ScanAcceptance, FourthByteOfATagGroupIsIgnored)
{
    ArchiveBuilder builder;
    builder.AddClip(150).AddClip(160);
    const auto clips = builder.Clips();
    builder.Overwrite(clips[0].entryOffset + 3, "\xFF")
        .Overwrite(clips[0].hiOffset + 3, std::string(1, '\0'))
        .Overwrite(clips[0].loOffset + 3, "z")
        .Overwrite(clips[1].hiOffset + 3, "K");
    auto table = std::make_unique<ClipTable>();
    ASSERT_EQ(ScanResult::Accepted, ScanBuilt(builder, *table).result);
    EXPECT_EQ(2u, table->nCount);
}

TEST(ScanAcceptance, ArchiveCutInsideItsLastLowResolutionFileIsAccepted)
{
    ArchiveBuilder builder;
    builder.AddClip(150).AddClip(200, 1);
    const testsupport::BuiltClip last = builder.Clips()[1];
    builder.Truncate(last.loOffset + 100);

    testsupport::ScratchFolder folder;
    auto table = std::make_unique<ClipTable>();
    const ScanOutcome outcome = ScanPath(folder.Write("disc1.pak", builder.Bytes()), false, *table);
    ASSERT_EQ(ScanResult::Accepted, outcome.result);
    ASSERT_EQ(2u, table->nCount);
    ExpectRecordsAsBuilt(*table, builder.Clips(), 2);
    EXPECT_GT(table->aRecords[1].dwLoOffset + table->aRecords[1].dwLoSize, builder.Size());
}

TEST(ScanAcceptance, ReportsProgressWithTheEndOfEachClip)
{
    ArchiveBuilder builder;
    builder.AddClip(150, 1).AddClip(151).AddClip(152, 2);
    auto table = std::make_unique<ClipTable>();
    const ScanOutcome outcome = ScanBuilt(builder, *table);
    ASSERT_EQ(ScanResult::Accepted, outcome.result);
    ASSERT_EQ(3u, outcome.progress.size());
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(builder.Clips()[i].loOffset + builder.Clips()[i].loSize, outcome.progress[i]);
    EXPECT_GE(outcome.progress.back(), builder.Size());
}

TEST(ScanAcceptance, ReadsHeadersOnlyNeverVideoData)
{
    ArchiveBuilder builder;
    for (unsigned i = 0; i < 4; ++i)
        builder.AddClip(3000, 1);
    CCountingMemFile file(builder.Bytes().data(), builder.Size());
    auto table = std::make_unique<ClipTable>();
    ASSERT_EQ(ScanResult::Accepted, ScanFile(file, builder.Size(), false, *table).result);
    // Reads along a run of fillers may take in a Bink file's header and frame
    // index, never the frames that follow them.
    for (const testsupport::BuiltClip& clip : builder.Clips()) {
        const uint32_t frames = testsupport::BINK_HEADER_SIZE + 4 * (clip.frames + 1);
        const uint32_t video[2][2] = {{clip.hiOffset + frames, clip.hiOffset + clip.hiSize},
                                      {clip.loOffset + frames, clip.loOffset + clip.loSize}};
        for (const CCountingMemFile::ReadSpan& read : file.m_readSpans)
            for (const auto& span : video)
                EXPECT_TRUE(read.position + read.count <= span[0] || read.position >= span[1])
                    << read.count << " bytes read at " << read.position;
    }
}

TEST(ScanAcceptance, DemoArchivesScanFromRealFiles)
{
    testsupport::ScratchFolder folder;
    const std::vector<std::string> paths = testsupport::WriteDemoArchives(folder.Path());
    auto table = std::make_unique<ClipTable>();
    for (size_t i = 0; i < paths.size(); ++i) {
        const char* title = FileTitleOf(paths[i].c_str());
        ASSERT_EQ(ScanResult::Accepted, ScanPath(paths[i], IsPublisherArchive(title), *table).result) << title;
        EXPECT_EQ(testsupport::DemoArchives()[i].clips, table->nCount) << title;
        ExpectRecordsAsBuilt(*table, testsupport::BuildDemoArchive(static_cast<unsigned>(i)).Clips(),
                             table->nCount);
        ExpectTableInvariants(*table, IsPublisherArchive(title));
    }
}
