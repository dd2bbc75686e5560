// What verify finds in an archive the scan accepts: each damage to a clip's Bink
// headers, and a copy cut short, named with the clip and the encoding.
#include "catalogue/ClipChecks.h"
#include "ScanTestSupport.h"

#include <memory>

using testsupport::ArchiveBuilder;
using testsupport::BuiltClip;

TEST(ClipChecks, EachDamageIsFoundAndNamed)
{
    // The second clip has sound: one audio track at high resolution, two at low,
    // described between the header and the frame index.
    testsupport::BinkShape hi = testsupport::HiResShape(160);
    testsupport::BinkShape lo = testsupport::LoResShape(160);
    hi.audioTracks = 1;
    lo.audioTracks = 2;
    ArchiveBuilder whole;
    whole.AddClip(150).AddClip(testsupport::BuildBinkFile(hi), testsupport::BuildBinkFile(lo), 1);
    const BuiltClip second = whole.Clips()[1];
    const std::string hiSize = std::to_string(second.hiSize);

    struct Case {
        const char* damage;
        ArchiveBuilder archive;
        std::vector<std::string> findings;
    };
    const Case cases[] = {
        {"none", whole, {}},
        {"cut copy", ArchiveBuilder(whole).Truncate(whole.Size() - 5),
         {"clip 2: the low-resolution video's size runs 5 bytes past the end of the archive"}},
        {"picture size", ArchiveBuilder(whole).SetU32(second.loOffset + 20, 640).SetU32(second.loOffset + 24, 448),
         {"clip 2: the low-resolution video's header gives 640x448, not 320x224"}},
        {"frame count of the low encoding",
         ArchiveBuilder(whole).SetU32(second.loOffset + 8, 159).SetU32(second.loOffset + 16, 159),
         {"clip 2: the low-resolution video's header gives 159 frames, the clip's record 160"}},
        {"second frame count", ArchiveBuilder(whole).SetU32(second.hiOffset + 16, 161),
         {"clip 2: the high-resolution video's header gives 160 and 161 frames, the clip's record 160"}},
        {"frame index end", ArchiveBuilder(whole).SetU32(second.hiOffset + 44 + 12 + 4 * 160, second.hiSize - 2),
         {"clip 2: the high-resolution video's size field gives " + hiSize + " bytes, its frame index ends at byte " +
          std::to_string(second.hiSize - 2)}},
    };
    auto table = std::make_unique<ClipTable>();
    for (const Case& c : cases) {
        CMemFile file(c.archive.Bytes().data(), c.archive.Size());
        ASSERT_EQ(ScanResult::Accepted, ScanFile(file, c.archive.Size(), false, *table).result) << c.damage;
        std::vector<std::string> texts;
        for (const ClipFinding& finding : CheckClips(file, c.archive.Size(), *table)) {
            EXPECT_EQ(2u, finding.clip) << c.damage;
            texts.push_back(finding.text);
        }
        EXPECT_EQ(c.findings, texts) << c.damage;
    }
}
