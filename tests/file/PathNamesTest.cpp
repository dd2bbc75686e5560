// Path names: a path's folder and name, cutting names between UTF-8 characters,
// the temporary name, and making (and taking back) the folders an output needs.
#include "CatchFileException.h"
#include "file/OutputFile.h"
#include "file/PathNames.h"
#include "ScratchFolder.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct PathCase {
    const char* path;
    const char* folder;
    const char* name;
};

const PathCase EVERY_SYSTEM[] = {
    {"disc2.pak", "", "disc2.pak"},
    {"", "", ""},
    {"movies/disc2.pak", "movies/", "disc2.pak"},
    {"/mnt/cd/disc2.pak", "/mnt/cd/", "disc2.pak"},
    {"movies/", "movies/", ""},
    {"/", "/", ""},
    {"a//b", "a//", "b"},
};
const PathCase WINDOWS_ONLY[] = {
    {"D:\\Movies\\disc3.pak", "D:\\Movies\\", "disc3.pak"},
    {"D:\\Movies/disc3.pak", "D:\\Movies/", "disc3.pak"},
    {"C:disc3.pak", "C:", "disc3.pak"},   // the current folder of drive C
    {"C:", "C:", ""},
    {"C:\\", "C:\\", ""},
    {"\\\\server\\share\\disc3.pak", "\\\\server\\share\\", "disc3.pak"},
};
const PathCase POSIX_ONLY[] = {
    {"D:\\Movies\\disc3.pak", "", "D:\\Movies\\disc3.pak"},   // one name with backslashes in it
    {"C:disc3.pak", "", "C:disc3.pak"},
};

TEST(PathNames, FolderAndNameSplitAtTheLastSeparator)
{
    std::vector<PathCase> cases(std::begin(EVERY_SYSTEM), std::end(EVERY_SYSTEM));
    if (WINDOWS_PATHS)
        cases.insert(cases.end(), std::begin(WINDOWS_ONLY), std::end(WINDOWS_ONLY));
    else
        cases.insert(cases.end(), std::begin(POSIX_ONLY), std::end(POSIX_ONLY));
    for (const PathCase& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(NameOf(c.path), c.name) << c.path;
        EXPECT_EQ(FolderOf(c.path) + NameOf(c.path), c.path);
    }
}

TEST(PathNames, CutUtf8NeverSplitsACharacter)
{
    const struct {
        const char* text;
        size_t bytes;
        const char* kept;
    } cases[] = {
        {"disc2", 9, "disc2"},
        {"disc2", 5, "disc2"},
        {"disc2", 3, "dis"},
        {"disc2", 0, ""},
        {"a\xC3\xA9", 2, "a"},                     // é is two bytes
        {"a\xC3\xA9", 3, "a\xC3\xA9"},
        {"\xE2\x82\xAC" "x", 1, ""},               // € is three
        {"\xE2\x82\xAC" "x", 2, ""},
        {"\xE2\x82\xAC" "x", 3, "\xE2\x82\xAC"},
        {"x\xF0\x9F\x8E\xAC", 4, "x"},             // 🎬 is four
        {"x\xF0\x9F\x8E\xAC", 5, "x\xF0\x9F\x8E\xAC"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        CutUtf8(text, c.bytes);
        EXPECT_EQ(text, c.kept) << c.text << " cut to " << c.bytes;
    }
}

TEST(PathNames, TemporaryNameIsHiddenUniqueInItsLastSixAndFitsAName)
{
    EXPECT_EQ(TemporaryNamePattern("Clip012h.bik"), ".Clip012h.bik.XXXXXX");

    const std::string longest = TemporaryNamePattern(std::string(300, 'n'));
    EXPECT_EQ(longest.size(), MAX_FILE_NAME_BYTES);
    EXPECT_EQ(longest, "." + std::string(MAX_FILE_NAME_BYTES - 8, 'n') + ".XXXXXX");

    // 247 bytes are free for the name: 123 two-byte characters, not 123 and a half.
    std::string accented;
    for (int i = 0; i < 200; ++i)
        accented += "\xC3\xA9";
    std::string kept;
    for (int i = 0; i < 123; ++i)
        kept += "\xC3\xA9";
    EXPECT_EQ(TemporaryNamePattern(accented), "." + kept + ".XXXXXX");
}

TEST(PathNames, AbsolutePathIsTheOneNameFromTheRootOfAFileThatIsThere)
{
    testsupport::ScratchFolder scratch;
    const std::string file = scratch.Write("clip.bik", {'x'});
    const std::string absolute = AbsolutePath(file);
    EXPECT_TRUE(fs::path(absolute).is_absolute()) << absolute;
    EXPECT_EQ(NameOf(absolute), "clip.bik");
    const std::string detour = scratch.Path() + "." + std::string(1, fs::path::preferred_separator) + "clip.bik";
    EXPECT_EQ(AbsolutePath(detour), absolute);
    EXPECT_EQ(AbsolutePath(scratch.Path()), FolderOf(absolute).substr(0, FolderOf(absolute).size() - 1));

    const std::string missing = scratch / "missing.bik";
    const CFileException error = CatchFileException([&] { AbsolutePath(missing); });
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, missing);
}

// Folders ------------------------------------------------------------------

TEST(MakeFolders, MakesEachMissingFolderOutermostFirstAndTakesBackOnlyEmptyOnes)
{
    testsupport::ScratchFolder scratch;
    const std::string kept = scratch / "kept";
    ASSERT_TRUE(fs::create_directory(kept));

    const std::vector<std::string> made = MakeFolders(kept + "/a/b/c");
    EXPECT_EQ(made, (std::vector<std::string>{kept + "/a", kept + "/a/b", kept + "/a/b/c"}));
    EXPECT_TRUE(IsFolder(kept + "/a/b/c"));
    EXPECT_TRUE(MakeFolders(kept + "/a/b/c").empty());   // all there: nothing made
    EXPECT_TRUE(MakeFolders(kept + "/a/b/").empty());

    // A file in b keeps b and a; c goes.
    std::ofstream(kept + "/a/b/clip.bik") << "x";
    RemoveEmptyFolders(made);
    EXPECT_TRUE(IsFolder(kept + "/a/b"));
    EXPECT_FALSE(fs::exists(kept + "/a/b/c"));

    fs::remove(kept + "/a/b/clip.bik");
    RemoveEmptyFolders(made);
    EXPECT_FALSE(fs::exists(kept + "/a"));
    EXPECT_TRUE(IsFolder(kept));   // there before: never taken back
}

TEST(MakeFolders, AFailureTakesBackWhatItMadeAndNamesTheFolder)
{
    testsupport::ScratchFolder scratch;
    // A name longer than any file system takes, below two folders it makes first.
    const std::string tooLong = scratch / ("made/also/" + std::string(300, 'n'));
    const CFileException longName = CatchFileException([&] { MakeFolders(tooLong + "/inner"); });
    EXPECT_EQ(longName.m_strFileName, tooLong);
    EXPECT_NE(longName.m_lOsError, 0);
    EXPECT_FALSE(fs::exists(scratch / "made"));

    // A regular file where a folder should be, as the folder itself and above it.
    const std::string file = scratch.Write("clip.bik", {'x'});
    const CFileException asFolder = CatchFileException([&] { MakeFolders(file); });
    EXPECT_EQ(asFolder.m_strFileName, file);
    const CFileException above = CatchFileException([&] { MakeFolders(file + "/inner"); });
    EXPECT_EQ(above.m_strFileName, file + "/inner");
    EXPECT_EQ(testsupport::ReadWholeFile(file), "x");
    EXPECT_EQ(scratch.Names(), std::vector<std::string>{"clip.bik"});
}

// "\\?\C:\...": the volume at the head of the path is no folder to make.
TEST(MakeFolders, APathInTheDeviceNamespaceMakesOnlyItsFolders)
{
    if (!WINDOWS_PATHS)
        GTEST_SKIP() << "Windows paths only";
    testsupport::ScratchFolder scratch;
    const std::string path = "\\\\?\\" + scratch.Path() + "a\\b";
    const std::vector<std::string> made = MakeFolders(path);
    EXPECT_EQ(made, (std::vector<std::string>{"\\\\?\\" + scratch.Path() + "a", path}));
    EXPECT_TRUE(IsFolder(scratch / "a\\b"));
}

} // namespace
