// --salvage on copies of an archive that are cut short: the real program lists,
// extracts and verifies the whole clips before the damage, says the damage as a
// refusal says it, and ends with status 1.
#include "CliRunner.h"
#include "DemoDiscs.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace testsupport;

TEST(CliSalvage, ListExtractAndVerifyTakeTheWholeClipsOfACutCopy)
{
    ScratchFolder folder;
    const ArchiveBuilder disc2 = BuildDemoArchive(DISC2);
    const uint32_t clip20 = disc2.Clips()[19].entryOffset;
    ArchiveBuilder(disc2).Truncate(clip20 + 4).WriteTo(folder / "disc2.pak");   // inside clip 20's KVP header
    CutDisc4(5).WriteTo(folder / "disc4.pak");                                  // the scan accepts this one
    ArchiveBuilder().AppendText("not an archive\n").WriteTo(folder / "notes.pak");
    const auto run = [&folder](const std::vector<std::string>& args) { return RunCli(args, folder.Path()); };
    const std::string fault = "clip 20: the archive ends inside the KVP header at offset " + std::to_string(clip20);
    const std::string said = "zodovu-cli: disc2.pak: Invalid movie file (" + fault +
                             ")\nzodovu-cli: disc2.pak: 19 clips salvaged from before the fault\n";

    const CliResult refused = run({"list", "disc2.pak"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "zodovu-cli: disc2.pak: Invalid movie file (" + fault + ")\n");

    const CliResult list = run({"list", "--salvage", "disc2.pak"});
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(list.err, said);
    const std::vector<std::string> lines = Lines(list.out);
    ASSERT_EQ(lines.size(), 2u + 19u) << list.out;
    EXPECT_EQ(lines[0], "KVN Disc 2 (damaged copy: 19 clips salvaged from before the fault)");
    EXPECT_EQ(lines.back().substr(0, 3), " 19");

    const nlohmann::json doc = nlohmann::json::parse(run({"list", "--json", "--salvage", "disc2.pak"}).out);
    EXPECT_EQ(doc.at("salvaged"), 19);
    EXPECT_EQ(doc.at("rejection").at("clip"), 20);
    EXPECT_EQ(doc.at("rejection").at("offset"), clip20);
    EXPECT_EQ(doc.at("clips").size(), 19u);

    // 31 clips saved from a renamed copy of disc 2 are no sign that it is disc 1.
    ArchiveBuilder(disc2).Truncate(disc2.Clips()[31].entryOffset + 4).WriteTo(folder / "renamed.pak");
    const CliResult renamed = run({"list", "--salvage", "renamed.pak"});
    EXPECT_EQ(renamed.status, 1);
    EXPECT_EQ(renamed.err.find("--disc"), std::string::npos) << renamed.err;

    const CliResult extract = run({"extract", "--salvage", "disc2.pak", "--all", "--both", "-o", "out"});
    EXPECT_EQ(extract.status, 1);
    EXPECT_EQ(extract.err.rfind(said, 0), 0u) << extract.err;
    EXPECT_NE(extract.err.find("38 files extracted"), std::string::npos) << extract.err;
    const BuiltClip& last = disc2.Clips()[18];
    EXPECT_EQ(ReadWholeFile(folder / "out/disc2-019l Paths of the Exile.bik"), Span(disc2, last.loOffset, last.loSize));
    EXPECT_EQ(run({"extract", "--salvage", "disc2.pak", "20"}).status, 2);

    const CliResult url = run({"url", "--salvage", "disc2.pak", "19", "--lo"});
    EXPECT_EQ(url.status, 1);
    EXPECT_EQ(url.out.rfind("subfile,,start," + std::to_string(last.loOffset) + ",", 0), 0u) << url.out;

    // A copy cut inside its last low-resolution video is damaged too; a file
    // with no clip before its fault is refused as ever.
    const CliResult verify = run({"verify", "--salvage", "disc2.pak", "disc4.pak", "notes.pak"});
    EXPECT_EQ(verify.status, 1);
    EXPECT_EQ(verify.err, "");
    const unsigned disc4 = DemoArchives()[DISC4].clips;
    EXPECT_EQ(verify.out, "disc2.pak: damaged, 19 clips salvaged: " + fault + "\n" +
                              "disc4.pak: damaged, " + std::to_string(disc4 - 1) + " clips salvaged: clip " +
                              std::to_string(disc4) +
                              ": the low-resolution video's size runs 5 bytes past the end of the archive\n"
                              "notes.pak: refused: clip 1: no KVP header at offset 0\n");
}
