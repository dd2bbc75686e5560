// The output file end to end: what appears under its name and when, what is
// never written over, and that no temporary file outlives a failure or an interrupt.
#include "CatchFileException.h"
#include "file/OutputFile.h"

#include "ScratchFolder.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

namespace {

const char OUR_BYTES[] = "clip bytes\r\n\0\x1A\xFF end";   // a line end, a zero and ^Z, kept as they are
const std::string OURS(OUR_BYTES, sizeof OUR_BYTES - 1);

template <typename Operation>
COutputRefused CatchRefusal(Operation operation)
{
    return CatchException<COutputRefused>(operation, COutputRefused("", ""));
}

bool Says(const COutputRefused& refused, const std::string& words)
{
    return refused.Reason().find(words) != std::string::npos;
}

OutputRules Replacing()
{
    OutputRules rules;
    rules.replace = true;
    return rules;
}

class OutputFile : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return m_folder / name; }
    std::string Existing(const std::string& name, const std::string& content) const
    {
        return m_folder.Write(name, std::vector<uint8_t>(content.begin(), content.end()));
    }
    Names InFolder() const { return m_folder.Names(); }
    static std::string Content(const std::string& path) { return testsupport::ReadWholeFile(path); }
    static void Write(COutputFile& out, const std::string& bytes)
    {
        out.File().Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

    testsupport::ScratchFolder m_folder;
};

TEST_F(OutputFile, ANewFileAppearsOnlyAtCommitWithExactlyItsBytes)
{
    const std::string path = Path("Clip012h.bik");
    std::string bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += static_cast<char>(i * 7);
    {
        COutputFile out(path, OutputRules());
        EXPECT_FALSE(out.IsStream());
        Write(out, bytes);
        out.Finish();
        // Only the hidden temporary file beside it so far.
        ASSERT_EQ(InFolder().size(), 1u);
        EXPECT_EQ(InFolder()[0].rfind(".Clip012h.bik.", 0), 0u) << InFolder()[0];
        EXPECT_EQ(InFolder()[0].size(), std::string(".Clip012h.bik.XXXXXX").size());
        out.Commit();
        EXPECT_EQ(InFolder(), Names{"Clip012h.bik"});
    }
    EXPECT_EQ(Content(path), bytes);
    EXPECT_EQ(InFolder(), Names{"Clip012h.bik"});
}

TEST_F(OutputFile, AnExistingFileIsReplacedOnlyWhenTheRulesAllowAndOnlyAtCommit)
{
    const std::string path = Existing("clip.bik", "theirs");
    const COutputRefused refused = CatchRefusal([&] { COutputFile out(path, OutputRules()); });
    EXPECT_EQ(refused.Path(), path);
    EXPECT_EQ(refused.Reason(), ALREADY_EXISTS);
    EXPECT_EQ(refused.GetErrorMessage(), path + ": " + ALREADY_EXISTS);

    {
        COutputFile out(path, Replacing());
        Write(out, OURS);
        EXPECT_EQ(Content(path), "theirs");
        out.Commit();
    }
    EXPECT_EQ(Content(path), OURS);
    EXPECT_EQ(InFolder(), Names{"clip.bik"});
}

TEST_F(OutputFile, AnUncommittedOutputLeavesWhatWasThereAndNoTemporaryFile)
{
    const std::string path = Existing("clip.bik", "theirs");
    {
        COutputFile replacing(path, Replacing());
        Write(replacing, OURS);
        COutputFile fresh(Path("new.bik"), OutputRules());
        Write(fresh, OURS);
        EXPECT_EQ(InFolder().size(), 3u);
    }
    EXPECT_EQ(Content(path), "theirs");
    EXPECT_EQ(InFolder(), Names{"clip.bik"});
}

TEST_F(OutputFile, WhatAppearsUnderTheNameBeforeCommitIsKept)
{
    const std::string path = Path("clip.bik");
    const std::string folder = Path("movies");
    {
        COutputFile out(path, OutputRules());
        Write(out, OURS);
        Existing("clip.bik", "theirs");
        EXPECT_EQ(CatchRefusal([&] { out.Commit(); }).Reason(), ALREADY_EXISTS);

        COutputFile replacing(folder, Replacing());
        Write(replacing, OURS);
        fs::create_directory(folder);
        EXPECT_TRUE(Says(CatchRefusal([&] { replacing.Commit(); }), "not a regular file"));
    }
    EXPECT_EQ(Content(path), "theirs");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(InFolder(), (Names{"clip.bik", "movies"}));
}

TEST_F(OutputFile, AFolderAndTheProtectedFileByAnyNameAreNeverWritten)
{
    const std::string folder = Path("movies");
    fs::create_directory(folder);
    EXPECT_TRUE(Says(CatchRefusal([&] { COutputFile out(folder, Replacing()); }), "is a folder"));

    // The archive is open for reading, as it is while its clips are extracted.
    const std::string archive = Existing("disc2.pak", "archive");
    CFile reading;
    ASSERT_TRUE(reading.OpenRegularFile(archive.c_str()));
    OutputRules rules = Replacing();
    rules.protectedFiles = {reading.GetIdentity()};
    rules.protectedRole = "the archive";

    const std::string hardLink = Path("link.pak");
    fs::create_hard_link(archive, hardLink);
    // Windows: the other separator and the other case; POSIX: a detour through ".".
    const std::string otherSpelling = WINDOWS_PATHS ? m_folder.Path().substr(0, m_folder.Path().size() - 1) + "/DISC2.PAK"
                                                    : m_folder.Path() + "./disc2.pak";
    for (const std::string& path : {archive, otherSpelling, hardLink}) {
        const COutputRefused refused = CatchRefusal([&] { COutputFile out(path, rules); });
        EXPECT_TRUE(Says(refused, "is the archive itself")) << path << ": " << refused.Reason();
    }
    EXPECT_EQ(Content(archive), "archive");
    EXPECT_EQ(InFolder(), (Names{"disc2.pak", "link.pak", "movies"}));
}

TEST_F(OutputFile, AMadeUpNameTakesNothingButARegularFile)
{
    OutputRules madeName = Replacing();
    madeName.madeName = true;
    const std::string folder = Path("movies");
    fs::create_directory(folder);
    for (const std::string& path : {folder, std::string(NULL_DEVICE)})
        EXPECT_TRUE(Says(CatchRefusal([&] { COutputFile out(path, madeName); }), "is not a regular file")) << path;

    const std::string path = Existing("disc2-012h The Glass Tower.bik", "theirs");
    {
        COutputFile out(path, madeName);
        Write(out, OURS);
        out.Commit();
    }
    EXPECT_EQ(Content(path), OURS);
    EXPECT_EQ(InFolder(), (Names{"disc2-012h The Glass Tower.bik", "movies"}));
}

TEST_F(OutputFile, ADeviceGivenByNameIsWrittenInto)
{
    for (const OutputRules& rules : {OutputRules(), Replacing()}) {
        COutputFile out(NULL_DEVICE, rules);
        EXPECT_TRUE(out.IsStream());
        Write(out, std::string(100000, 'x'));
        out.Finish();
        out.Commit();
        EXPECT_FALSE(out.File().IsOpen());
    }
}

// Links are POSIX's here: Windows lets only an administrator (or developer mode)
// make them, and Wine 8's CreateSymbolicLink reports success and makes nothing.
TEST_F(OutputFile, ALinkIsWrittenThroughOnlyToADevice)
{
    if (WINDOWS_PATHS)
        GTEST_SKIP() << "no symbolic links to make on Windows";
    const std::string toDevice = Path("null");
    fs::create_symlink(NULL_DEVICE, toDevice);
    {
        COutputFile out(toDevice, OutputRules());
        EXPECT_TRUE(out.IsStream());
        Write(out, OURS);
        out.Commit();
    }

    const std::string target = Existing("clip.bik", "theirs");
    const std::string toFile = Path("link.bik");
    fs::create_symlink(target, toFile);
    const std::string dangling = Path("dangling.bik");
    fs::create_symlink(Path("nowhere.bik"), dangling);
    for (const std::string& link : {toFile, dangling})
        EXPECT_TRUE(Says(CatchRefusal([&] { COutputFile out(link, Replacing()); }), "symbolic link")) << link;
    OutputRules madeName = Replacing();
    madeName.madeName = true;
    EXPECT_TRUE(Says(CatchRefusal([&] { COutputFile out(toDevice, madeName); }), "is not a regular file"));
    EXPECT_EQ(Content(target), "theirs");
    EXPECT_EQ(InFolder(), (Names{"clip.bik", "dangling.bik", "link.bik", "null"}));
}

// Interrupts ---------------------------------------------------------------

// A death test's child on Windows is a new process that runs the test from its
// start: it finds the parent's folder here instead of making its own.
const char FOLDER_VARIABLE[] = "ZODOVU_TEST_INTERRUPTED_FOLDER";

void SetFolderVariable(const std::string& value)
{
#ifdef _WIN32
    _putenv((std::string(FOLDER_VARIABLE) + "=" + value).c_str());   // empty: removed
#else
    if (value.empty())
        ::unsetenv(FOLDER_VARIABLE);
    else
        ::setenv(FOLDER_VARIABLE, value.c_str(), 1);
#endif
}

const int NOT_ENDED = 99;

// Writes part of a file, then interrupts the program as Ctrl+C would.
[[noreturn]] void WriteThenInterrupt(const std::string& path)
{
#ifdef _WIN32
    // A console of its own, which the event then goes to; Ctrl+C not ignored.
    FreeConsole();
    AllocConsole();
    SetConsoleCtrlHandler(nullptr, FALSE);
#else
    std::signal(SIGINT, SIG_DFL);   // a harness may have started the tests with it ignored
#endif
    COutputFile out(path, OutputRules());
    out.File().Write("part", 4);
#ifdef _WIN32
    // The handler runs on a thread of its own; the program goes on meanwhile.
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    Sleep(30000);
#else
    std::raise(SIGINT);
#endif
    std::_Exit(NOT_ENDED);
}

// How Ctrl+C (SIGINT) ends a program that leaves it to the system.
bool EndedByInterrupt(int status)
{
#ifdef _WIN32
    // Wine 8 ends it with status 0 where Windows (and later Wine) give STATUS_CONTROL_C_EXIT.
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return status == static_cast<int>(STATUS_CONTROL_C_EXIT) || (wine && status == 0);
#else
    return ::testing::KilledBySignal(SIGINT)(status);
#endif
}

TEST(OutputFileDeathTest, AnInterruptRemovesTheTemporaryFileAndEndsTheProgramAsItWould)
{
    std::unique_ptr<testsupport::ScratchFolder> scratch;
    const char* inherited = std::getenv(FOLDER_VARIABLE);
    std::string folder = inherited ? inherited : "";
    if (folder.empty()) {
        scratch = std::make_unique<testsupport::ScratchFolder>();
        folder = scratch->Path();
        SetFolderVariable(folder);
    }
    EXPECT_EXIT(WriteThenInterrupt(folder + "clip.bik"), EndedByInterrupt, "");
    SetFolderVariable("");
    ASSERT_NE(scratch, nullptr);
    EXPECT_EQ(scratch->Names(), Names{});
}

} // namespace
