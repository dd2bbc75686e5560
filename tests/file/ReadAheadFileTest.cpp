// The read-ahead file answers every read and seek as the plain file does, and a
// file adopted from an open handle is written, flushed and closed like one opened.
#include "ReadAheadFile.h"
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
