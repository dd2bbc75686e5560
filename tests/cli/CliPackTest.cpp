// replace and pack through the real program: a round trip through extract,
// a replaced clip, and the inputs each refused with nothing left behind.
#include "CliRunner.h"

#include "samples/ArchiveBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

#ifdef ZODOVU_CLI_UNDER_WINE
// zodovu-cli.exe decodes nothing yet: it checks no frames, and says so first.
const std::string UNCHECKED = "zodovu-cli: frames not checked: this build of zodovu-cli does not decode clips\n";
const std::vector<std::string> VERIFY = {"verify"};
#else
const std::string UNCHECKED;
const std::vector<std::string> VERIFY = {"verify", "--frames"};
#endif

std::vector<std::string> Verify(const std::string& archive)
{
    std::vector<std::string> args = VERIFY;
    args.push_back(archive);
    return args;
}

class CliPack : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_archive.AddClip(20, 1).AddClip(30, 2).AddClip(25, 0);
        m_archive.WriteTo(m_folder / "movies.pak");
    }
    CliResult Run(const std::vector<std::string>& args) { return RunCli(args, m_folder.Path()); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        m_folder.Write(name, bytes);
        return name;
    }
    // Every name under the folder, its subfolders' too.
    std::vector<std::string> Everything() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_folder.Path()))
            names.push_back(entry.path().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchFolder m_folder;
    ArchiveBuilder m_archive;
};

// extract --all --both, then pack: the same list, the same encodings byte for
// byte; in publish.pak's layout too. The packed archive passes verify --frames.
TEST_F(CliPack, RoundTripThroughExtractGivesTheSameClips)
{
    ASSERT_EQ(Run({"extract", "movies.pak", "--all", "--both", "-o", "clips/", "-q"}).status, 0);
    ArchiveBuilder publisher(ArchiveBuilder::Layout::Publisher);
    publisher.AddClip(15, 1).AddClip(40, 0);
    publisher.WriteTo(m_folder / "publish.pak");
    fs::create_directory(m_folder / "new");
    ASSERT_EQ(Run({"extract", "publish.pak", "--all", "--both", "-o", "pub/", "-q"}).status, 0);

    for (const std::string archive : {"movies.pak", "publish.pak"}) {
        const std::string folder = archive == "movies.pak" ? "clips" : "pub";
        const CliResult packed = Run({"pack", "-o", "new/" + archive, folder, "-v"});
        ASSERT_EQ(packed.status, 0) << packed.err;
        EXPECT_EQ(packed.out, "new/" + archive + "\n");
        EXPECT_NE(packed.err.find(archive + " written: "), std::string::npos) << packed.err;
        EXPECT_EQ(Run({"list", "new/" + archive}).out, Run({"list", archive}).out);
        const CliResult verified = Run(Verify("new/" + archive));
        EXPECT_EQ(verified.status, 0) << verified.out;
        ASSERT_EQ(Run({"extract", "new/" + archive, "--all", "--both", "-o", "again-" + folder + "/", "-q"}).status, 0);
        for (const fs::directory_entry& entry : fs::directory_iterator(m_folder / folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_EQ(ReadWholeFile(m_folder / ("again-" + folder + "/" + name)), ReadWholeFile(entry.path().string()))
                << name;
        }
    }
}

// The new clip in place of the old, its header's field the new count, and the
// archive whole after.
TEST_F(CliPack, ReplaceWritesTheNewClipAndItsFrameCount)
{
    Write("hi.bik", BuildBinkFile(HiResShape(45, 7)));
    Write("lo.bik", BuildBinkFile(LoResShape(45, 7)));
    const CliResult replaced = Run({"replace", "movies.pak", "2", "--hi", "hi.bik", "--lo", "lo.bik", "-o", "new.pak"});
    ASSERT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(replaced.err, UNCHECKED + "zodovu-cli: new.pak written: 3 clips, 0.0M\n");
    const std::string bytes = ReadWholeFile(m_folder / "new.pak");
    const uint32_t header = m_archive.Clips()[1].entryOffset;
    EXPECT_EQ(static_cast<uint8_t>(bytes[header + 6]) | static_cast<uint8_t>(bytes[header + 7]) << 8, 45);
    const std::vector<std::string> rows = Lines(Run({"list", "new.pak"}).out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_NE(rows[3].find("0:03"), std::string::npos) << rows[3];
    EXPECT_EQ(Run(Verify("new.pak")).status, 0);
}

TEST_F(CliPack, BadInputsAreSaidAndLeaveNothingBehind)
{
    const std::string hi = Write("hi.bik", BuildBinkFile(HiResShape(30, 7)));
    const std::string lo = Write("lo.bik", BuildBinkFile(LoResShape(30, 7)));
    Write("short-lo.bik", BuildBinkFile(LoResShape(28, 7)));
    std::vector<uint8_t> lying = BuildBinkFile(HiResShape(30, 7));
    PutU32(lying, 4, GetU32(lying, 4) + 100);
    Write("lying.bik", lying);
    std::vector<uint8_t> backwards = BuildBinkFile(HiResShape(30, 7));
    PutU32(backwards, BINK_HEADER_SIZE + 4 * 5, GetU32(backwards, BINK_HEADER_SIZE + 4 * 3));
    Write("backwards.bik", backwards);
    BinkShape damaged = HiResShape(30, 7);
    damaged.damage = BinkDamage::UnknownBlockType;
    damaged.damagedFrame = 12;
    Write("damaged.bik", BuildBinkFile(damaged));
    ASSERT_EQ(::link((m_folder / "movies.pak").c_str(), (m_folder / "linked.pak").c_str()), 0);
    Write("kept.pak", {1, 2, 3});
    ASSERT_EQ(Run({"extract", "movies.pak", "--all", "--both", "-o", "clips/", "-q"}).status, 0);
    const std::string first = "clips/movies-001h Clip 001.bik";
    const std::string second = "clips/movies-002h Clip 002.bik";
    const std::string secondLo = "clips/movies-002l Clip 002.bik";
    fs::create_directory(m_folder / "gap");
    fs::create_directory(m_folder / "half");
    fs::create_directory(m_folder / "empty");
    for (const char* name : {"movies-001h Clip 001.bik", "movies-001l Clip 001.bik", "movies-003h Clip 003.bik",
                             "movies-003l Clip 003.bik"})
        fs::copy_file(m_folder / ("clips/" + std::string(name)), m_folder / ("gap/" + std::string(name)));
    fs::copy_file(m_folder / first, m_folder / "half/movies-001h Clip 001.bik");
    Write("empty/notes.txt", {'x'});

    const auto replace = [&](const std::string& clip, const std::string& high, const std::string& low,
                             const std::string& output) {
        return std::vector<std::string>{"replace", "movies.pak", clip, "--hi", high, "--lo", low, "-o", output};
    };
    const struct {
        std::vector<std::string> args;
        int status;
        std::string said;   // in standard error
    } cases[] = {
        {replace("4", hi, lo, "new.pak"), 2, "movies.pak: no clip 4 (the archive holds 3 clips)"},
        {replace("2", "lying.bik", lo, "new.pak"), 1, "lying.bik: its header says the file is "},
        {replace("2", lo, lo, "new.pak"), 1, "lo.bik: the high-resolution video's header gives 320x224, not 640x448"},
        // Caught in every build, also one that checks no frames.
        {replace("2", "backwards.bik", lo, "new.pak"), 1, "backwards.bik: its frame index puts frame 5 at bytes "},
#ifndef ZODOVU_CLI_UNDER_WINE   // zodovu-cli.exe decodes nothing yet
        {replace("2", "damaged.bik", lo, "new.pak"), 1, "damaged.bik: frame "},
#endif
        {replace("2", "none.bik", lo, "new.pak"), 1, "none.bik: " + std::string(NO_SUCH_FILE)},
        {replace("2", hi, lo, "movies.pak"), 1, "movies.pak: is the archive itself; refusing to write to it"},
        {replace("2", hi, lo, "linked.pak"), 1, "linked.pak: is the archive itself; refusing to write to it"},
        {replace("2", hi, lo, "lo.bik"), 1, "lo.bik: is a Bink file being put in; refusing to write to it"},
        {replace("2", hi, lo, "kept.pak"), 1, "kept.pak: already exists (--force overwrites it)"},
        // Said before the files' frames are decoded, which takes long.
        {replace("2", "damaged.bik", lo, "kept.pak"), 1, "zodovu-cli: kept.pak: already exists"},
        {replace("2", "damaged.bik", lo, "damaged.bik"), 1, "damaged.bik: is a Bink file being put in"},
        {replace("2", hi, lo, "-"), 2, "-o -: a new archive is checked before it takes its name"},
        {{"pack", "-o", "new.pak", "gap"}, 1, "gap/movies-003h Clip 003.bik: is clip 3's, but there is no clip 2: "
                                              "the clips are numbered from 1 without a gap"},
        {{"pack", "-o", "new.pak", "half"}, 1, "half/movies-001h Clip 001.bik: is clip 1's high-resolution file, "
                                               "but the clip has no low-resolution file ('-001l')"},
        {{"pack", "-o", "new.pak", "clips", "clips/../" + second}, 1,
         "is clip 2's high-resolution file, and so is "},
        {{"pack", "-o", "new.pak", first, "hi.bik"}, 2, "hi.bik: is not named as extract names a clip"},
        {{"pack", "-o", "new.pak", "x-257h.bik"}, 2, "x-257h.bik: is not named as extract names a clip "
                                                     "('STEM-NNNh TITLE.bik' or 'STEM-NNNl TITLE.bik', NNN from "
                                                     "001 to 256)"},
        {{"pack", "-o", "new.pak", "empty"}, 1, "empty: holds no .bik files"},
        {{"pack", "-o", "new.pak", first, second, secondLo}, 1, "has no low-resolution file ('-001l')"},
        {{"pack", "-o", "clips/movies-001l Clip 001.bik", "clips"}, 1, "is a Bink file being put in"},
    };
    const std::vector<std::string> before = Everything();
    for (const auto& c : cases) {
        const CliResult result = Run(c.args);
        EXPECT_EQ(result.status, c.status) << c.args[0] << " " << c.said;
        EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
        EXPECT_EQ(Everything(), before) << c.said;
    }

    // Nothing the tool says goes onto a Bink file it puts in.
#ifndef ZODOVU_CLI_UNDER_WINE
    CliStart shell;
    shell.program = "/bin/sh";
    for (const char* redirect : {" -v >> ", " 2>> "}) {
        const std::string command = "'" ZODOVU_CLI "' replace movies.pak 2 --hi hi.bik --lo lo.bik -o new.pak";
        const CliResult result = RunProgram({"-c", command + redirect + "hi.bik"}, m_folder.Path(), shell);
        EXPECT_EQ(result.status, 1) << redirect << result.err;
        EXPECT_EQ(Everything(), before) << redirect;
        EXPECT_TRUE(ReadWholeFile(m_folder / hi) == Text(BuildBinkFile(HiResShape(30, 7)))) << redirect;
    }
#endif

    // Taken: files of one clip that differ in frames, said; a build without
    // decoding says that it checked no frames.
    const CliResult differing = Run(replace("2", hi, "short-lo.bik", "new.pak"));
    EXPECT_EQ(differing.status, 0) << differing.err;
    EXPECT_EQ(differing.err.substr(UNCHECKED.size(), differing.err.find('\n', UNCHECKED.size()) - UNCHECKED.size()),
              "zodovu-cli: short-lo.bik: has 28 frames, its high-resolution file 30; the clip has 30, as the scan "
              "counts them (verify names the difference)");
#ifdef ZODOVU_CLI_WITHOUT_DECODING
    CliStart plain;
    plain.program = ZODOVU_CLI_WITHOUT_DECODING;
    const CliResult unchecked = RunProgram(replace("2", hi, lo, "plain.pak"), m_folder.Path(), plain);
    EXPECT_EQ(unchecked.status, 0) << unchecked.err;
    EXPECT_EQ(Lines(unchecked.err).at(0),
              "zodovu-cli: frames not checked: this build of zodovu-cli does not decode clips");
#endif
}

} // namespace
