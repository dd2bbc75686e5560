// The read-ahead file answers every read and seek as the plain file does, and a
// file adopted from an open handle is written, flushed and closed like one opened.
#include "file/ReadAheadFile.h"
#include "SeekCases.h"
#include "TempFiles.h"

#include <cstdint>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#endif

using ReadAheadFile = TempFiles;

TEST_F(ReadAheadFile, EveryReadAndSeekMatchesThePlainFile)
{
    std::string data(1000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 13 + i / 7);
    const std::string path = NewFile(data);

    struct Step { enum { Read, Seek } kind; int32_t value; unsigned from; };
    // Block of 16: reads inside one block, across blocks, of a block or more
    // (straight to the file), backwards seeks into the block, and past the end.
    const Step steps[] = {
        {Step::Read, 4, 0},    {Step::Seek, 40, CFile::current}, {Step::Read, 4, 0},
        {Step::Read, 13, 0},   {Step::Seek, 3, CFile::begin},    {Step::Read, 2, 0},
        {Step::Read, 100, 0},  {Step::Read, 5, 0},               {Step::Seek, -6, CFile::current},
        {Step::Read, 16, 0},   {Step::Seek, -10, CFile::end},    {Step::Read, 64, 0},
        {Step::Read, 4, 0},    {Step::Seek, 5000, CFile::begin}, {Step::Read, 4, 0},
        {Step::Seek, 990, CFile::begin}, {Step::Read, 3, 0},     {Step::Read, 30, 0},
    };
    CFile plain;
    CReadAheadFile ahead(16);
    ASSERT_TRUE(plain.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    ASSERT_TRUE(ahead.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        if (step.kind == Step::Seek) {
            EXPECT_EQ(ahead.Seek(step.value, step.from), plain.Seek(step.value, step.from));
            continue;
        }
        std::string expected(static_cast<size_t>(step.value), '\0');
        std::string got(static_cast<size_t>(step.value), '\0');
        const uint32_t expectedCount = plain.Read(&expected[0], static_cast<uint32_t>(step.value));
        EXPECT_EQ(ahead.Read(&got[0], static_cast<uint32_t>(step.value)), expectedCount);
        EXPECT_EQ(got.substr(0, expectedCount), expected.substr(0, expectedCount));
    }
    // A refused seek leaves the position where it was.
    EXPECT_EQ(CatchFileException([&] { ahead.Seek(-1, CFile::begin); }).m_cause, CFileException::badSeek);
    EXPECT_EQ(ahead.Seek(0, CFile::current), plain.Seek(0, CFile::current));
}

TEST_F(ReadAheadFile, PastFourGiBEveryReadAndSeekMatchesThePlainFile)
{
    const int64_t length = GIB_4 + 16;
    const std::string path = NewLargeFile(length, GIB_4 - 4, "ABCDEFGH");
    if (path.empty())
        GTEST_SKIP() << "the file system here holds no file past 4 GiB";

    struct Step { enum { Read, Seek, Seek64 } kind; int64_t value; unsigned from; };
    // Block of 16: a read across 4 GiB inside one block, positions there that
    // only Seek64 tells, seeks back below 2 GiB and up again, and the end.
    const Step steps[] = {
        {Step::Seek64, GIB_4 - 8, CFile::begin}, {Step::Read, 6, 0},  {Step::Read, 4, 0},
        {Step::Seek64, 0, CFile::current},       {Step::Seek, 0, CFile::current},
        {Step::Seek64, -3, CFile::current},      {Step::Read, 32, 0}, {Step::Read, 4, 0},
        {Step::Seek, 0, CFile::end},             {Step::Seek64, -20, CFile::end}, {Step::Read, 8, 0},
        {Step::Seek, 100, CFile::begin},         {Step::Seek64, GIB_4 - 104, CFile::current}, {Step::Read, 8, 0},
        {Step::Seek64, -length - 1, CFile::end}, {Step::Seek64, 0, CFile::current},
    };
    CFile plain;
    CReadAheadFile ahead(16);
    ASSERT_TRUE(plain.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    ASSERT_TRUE(ahead.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    const auto seek = [](CFile& file, const Step& step) {
        return Outcome([&] {
            return step.kind == Step::Seek ? file.Seek(static_cast<int32_t>(step.value), step.from)
                                           : static_cast<int64_t>(file.Seek64(step.value, step.from));
        });
    };
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        if (step.kind != Step::Read) {
            EXPECT_EQ(seek(ahead, step), seek(plain, step));
            continue;
        }
        const uint32_t count = static_cast<uint32_t>(step.value);
        std::string expected(count, '\0');
        std::string got(count, '\0');
        expected.resize(plain.Read(&expected[0], count));
        got.resize(ahead.Read(&got[0], count));
        EXPECT_EQ(got, expected);
    }
}

TEST_F(ReadAheadFile, AnAdoptedHandleIsWrittenFlushedAndClosedUnderItsGivenName)
{
    const std::string path = NewFile("");
#ifdef _WIN32
    const intptr_t handle = reinterpret_cast<intptr_t>(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
#else
    const intptr_t handle = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
#endif
    ASSERT_NE(handle, -1);
    CFile file(handle, "shown.bik");
    ASSERT_TRUE(file.IsOpen());
    file.Write("adopted", 7);
    file.Flush();
    file.Close();
    EXPECT_EQ(Content(path), "adopted");
    const CFileException error = CatchFileException([&] { file.Write("x", 1); });
    EXPECT_EQ(error.m_cause, CFileException::invalidFile);
    EXPECT_EQ(error.m_strFileName, "shown.bik");
}
