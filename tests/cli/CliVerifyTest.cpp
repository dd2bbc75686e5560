// verify, --disc, and archives that are not what they seem: the real program on
// builder archives, renamed, cut, damaged, or not files at all.
#include "CliRunner.h"

#include "DemoDiscs.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

class CliVerify : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_disc2 = BuildDemoArchive(DISC2);
        m_disc2.WriteTo(m_folder / "disc2.pak");
        ArchiveBuilder(m_disc2).Truncate(m_disc2.Size() - 5).WriteTo(m_folder / "cut.pak");
        ArchiveBuilder(m_disc2).Overwrite(m_disc2.Clips()[2].entryOffset, "XYZ").WriteTo(m_folder / "bad.pak");
    }
    CliResult Run(const std::vector<std::string>& args) { return RunCli(args, m_folder.Path()); }

    ScratchFolder m_folder;
    ArchiveBuilder m_disc2;
};

TEST_F(CliVerify, TellsWholeCutAndRefusedArchivesApart)
{
    const CliResult whole = Run({"verify", "disc2.pak"});
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(whole.out, "disc2.pak: whole, 34 clips\n");

    const std::string thirdEntry = std::to_string(m_disc2.Clips()[2].entryOffset);
    const CliResult mixed = Run({"verify", "disc2.pak", "cut.pak", "bad.pak"});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.err,
              "zodovu-cli: cut.pak: its name is no disc's, but its 34 clips match KVN Disc 2's; try --disc 2\n");
    EXPECT_EQ(mixed.out, "disc2.pak: whole, 34 clips\n"
                         "cut.pak: damaged, 34 clips, 1 problem\n"
                         "  clip 34: the low-resolution video's size runs 5 bytes past the end of the archive\n"
                         "bad.pak: refused: clip 3: no KVP header at offset " + thirdEntry + ", where clip 2 ends\n");

    const CliResult json = Run({"verify", "--json", "disc2.pak", "cut.pak", "bad.pak", "none.pak"});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.err.find(std::string("zodovu-cli: none.pak: ") + NO_SUCH_FILE + "\n"), std::string::npos) << json.err;
    const nlohmann::json doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(doc.at("format"), 1);
    const nlohmann::json& archives = doc.at("archives");
    ASSERT_EQ(archives.size(), 4u);
    EXPECT_EQ(archives[0].at("whole"), true);
    EXPECT_EQ(archives[0].at("disc_label"), "KVN Disc 2");
    EXPECT_EQ(archives[1].at("whole"), false);
    EXPECT_EQ(archives[1].at("accepted"), true);
    EXPECT_EQ(archives[1].at("findings").at(0).at("clip"), 34);
    EXPECT_EQ(archives[2].at("accepted"), false);
    EXPECT_EQ(archives[2].at("rejection").at("clip"), 3);
    EXPECT_EQ(archives[2].at("rejection").at("offset"), m_disc2.Clips()[2].entryOffset);
    EXPECT_EQ(archives[2].at("clips"), 2);
    EXPECT_EQ(archives[3].at("whole"), false);
    EXPECT_EQ(archives[3].at("error"), std::string("none.pak: ") + NO_SUCH_FILE);
}

TEST_F(CliVerify, DiscOptionNamesARenamedArchive)
{
    const ArchiveBuilder publisher = BuildDemoArchive(PUBLISHER);
    publisher.WriteTo(m_folder / "renamed.pak");

    const CliResult byName = Run({"list", "renamed.pak"});
    EXPECT_EQ(byName.status, 1);
    EXPECT_EQ(byName.err, "zodovu-cli: renamed.pak: Invalid movie file (clip 1: no KVP header at offset 0)\n");

    const CliResult listed = Run({"list", "--json", "--disc", "publisher", "renamed.pak"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    const nlohmann::json doc = nlohmann::json::parse(listed.out);
    EXPECT_EQ(doc.at("archive"), "renamed.pak");
    EXPECT_EQ(doc.at("disc_label"), "Publisher");
    EXPECT_EQ(doc.at("clips").size(), publisher.Clips().size());

    const BuiltClip& second = publisher.Clips()[1];
    ASSERT_EQ(Run({"extract", "renamed.pak", "2", "--lo", "--disc", "Publisher", "-o", "two.bik"}).status, 0);
    const std::string two = ReadWholeFile(m_folder / "two.bik");
    EXPECT_EQ(two, std::string(publisher.Bytes().begin() + second.loOffset,
                               publisher.Bytes().begin() + second.loOffset + second.loSize));
    EXPECT_EQ(Run({"verify", "--disc", "publisher", "renamed.pak"}).status, 0);

    const CliResult asDisc = Run({"list", "--json", "--disc", "2", "cut.pak"});
    ASSERT_EQ(asDisc.status, 0) << asDisc.err;
    EXPECT_EQ(nlohmann::json::parse(asDisc.out).at("disc_label"), "KVN Disc 2");
    EXPECT_EQ(Run({"list", "--disc", "5", "disc2.pak"}).status, 2);
}

TEST_F(CliVerify, AnythingButARegularFileIsRefusedWithoutWaiting)
{
    SKIP_UNDER_WINE();
    // A FIFO with no writer would hold a plain open for ever.
    ASSERT_EQ(::mkfifo((m_folder / "fifo.pak").c_str(), 0600), 0);
    for (const char* archive : {"fifo.pak", "/dev/zero", "/dev/stdin"}) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{"list", archive},
                                                     {"extract", archive, "1"},
                                                     {"verify", archive}}) {
            const CliResult result = Run(args);
            EXPECT_EQ(result.status, 1) << ::testing::PrintToString(args);
            EXPECT_EQ(result.err, "zodovu-cli: " + std::string(archive) + ": Not a regular file\n");
        }
    }
}

TEST_F(CliVerify, OnlySlashesSeparateFoldersAndAnyNameLists)
{
    SKIP_UNDER_WINE();
    // ':' and '\' are name characters on Linux; a name that is not UTF-8 is
    // listed with U+FFFD in place of its bad bytes.
    const struct {
        std::string file;
        std::string shown;
    } names[] = {{"x\\publish.pak", "x\\publish.pak"},
                 {"backup:b.pak", "backup:b.pak"},
                 {"bad\xff" "name.pak", "bad\xef\xbf\xbd" "name.pak"}};
    for (const auto& name : names) {
        m_disc2.WriteTo(m_folder / name.file);
        const CliResult result = Run({"list", "--json", name.file});
        ASSERT_EQ(result.status, 0) << result.err;
        const nlohmann::json doc = nlohmann::json::parse(result.out);
        EXPECT_EQ(doc.at("archive"), name.shown);
        EXPECT_EQ(doc.at("disc_label"), "Unknown PAK");
        EXPECT_EQ(doc.at("clips").size(), m_disc2.Clips().size());
    }
}

// An archive is whole only with its disc's clips, and a Bink file may end on an
// odd byte, which its frame index cannot say.
TEST_F(CliVerify, ClipCountsAndOddLengths)
{
    fs::create_directory(m_folder / "three");
    ArchiveBuilder().AddClip(150).AddClip(160).AddClip(170).WriteTo(m_folder / "three/disc2.pak");
    ArchiveBuilder().WriteTo(m_folder / "empty.pak");
    std::vector<uint8_t> odd = BuildBinkFile(HiResShape(150));
    odd.push_back(0);
    PutU32(odd, 4, static_cast<uint32_t>(odd.size()) - 8);
    PutU32(odd, BINK_HEADER_SIZE + 4 * 150, static_cast<uint32_t>(odd.size()));
    ArchiveBuilder().AddClip(odd, BuildBinkFile(LoResShape(150))).WriteTo(m_folder / "odd.pak");

    const struct {
        const char* archive;
        int status;
        std::string out;
    } cases[] = {
        {"three/disc2.pak", 1, "three/disc2.pak: damaged, 3 clips, 1 problem\n  holds 3 clips; KVN Disc 2 has 34\n"},
        {"empty.pak", 1, "empty.pak: damaged, 0 clips, 1 problem\n  holds no clips\n"},
        {"odd.pak", 0, "odd.pak: whole, 1 clip\n"},
    };
    for (const auto& c : cases) {
        const CliResult result = Run({"verify", c.archive});
        EXPECT_EQ(result.status, c.status) << c.archive;
        EXPECT_EQ(result.out, c.out);
    }
    const nlohmann::json doc = nlohmann::json::parse(Run({"verify", "--json", "empty.pak"}).out);
    EXPECT_TRUE(doc.at("archives").at(0).at("findings").at(0).at("clip").is_null());
}

// --frames decodes every frame: damage to a clip's bitstream is named with its
// frame and the decoder's reason; whole clips pass, however many run at once.
TEST_F(CliVerify, FramesNamesEachDamagedFrame)
{
    BinkShape unknownBlock = HiResShape(10, 2), cutFrame = LoResShape(8, 3);
    unknownBlock.damage = BinkDamage::UnknownBlockType;
    unknownBlock.damagedFrame = 3;
    cutFrame.damage = BinkDamage::CutFrame;
    cutFrame.damagedFrame = 5;
    ArchiveBuilder archive;
    archive.AddClip(BuildBinkFile(HiResShape(6, 1)), BuildBinkFile(LoResShape(6, 1)))
        .AddClip(BuildBinkFile(unknownBlock), BuildBinkFile(LoResShape(10, 2)))
        .AddClip(BuildBinkFile(HiResShape(8, 3)), BuildBinkFile(cutFrame))
        .WriteTo(m_folder / "frames.pak");

#ifdef ZODOVU_CLI_UNDER_WINE
    const CliResult refused = Run({"verify", "--frames", "frames.pak"});   // the Windows build decodes nothing
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "zodovu-cli: verify --frames is not in this build of zodovu-cli, which does not decode "
                           "clips\n");
#else
    EXPECT_EQ(Run({"verify", "frames.pak"}).out, "frames.pak: whole, 3 clips\n");   // the headers are whole
    for (const char* jobs : {"1", "4"}) {
        const CliResult result = Run({"verify", "--frames", "-j", jobs, "frames.pak"});
        EXPECT_EQ(result.status, 1);
        const std::vector<std::string> lines = Lines(result.out);
        ASSERT_EQ(lines.size(), 3u) << result.out;
        EXPECT_EQ(lines[0], "frames.pak: damaged, 3 clips, 2 problems");
        EXPECT_EQ(lines[1].rfind("  clip 2 (high-res.): frame 4 of 10: ", 0), 0u) << lines[1];
        EXPECT_EQ(lines[2].rfind("  clip 3 (low-res.): frame 6 of 8: ", 0), 0u) << lines[2];
    }
    const CliResult demo = Run({"verify", "--frames", "disc2.pak"});
    EXPECT_EQ(demo.status, 0) << demo.out;
    // The flag with a value, as the command line takes it, decodes too.
    const CliResult valued = Run({"verify", "--frames=true", "frames.pak"});
    EXPECT_EQ(valued.status, 1) << valued.err;
    EXPECT_EQ(valued.out.rfind("frames.pak: damaged, 3 clips, 2 problems\n", 0), 0u) << valued.out;
#endif
}

} // namespace
