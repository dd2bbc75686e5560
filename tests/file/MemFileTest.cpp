// The memory file behaves like a disk file at its edges.
#include "file/MemFile.h"

#include "CatchFileException.h"
#include "FileContents.h"
#include "SeekCases.h"

#include <string>

using testsupport::Text;

TEST(MemFile, ReadsStopAtTheEnd)
{
    CMemFile file("abcdef", 6, "clip.bin");
    char buffer[8] = {};
    file.Seek(4, CFile::begin);
    EXPECT_EQ(file.Read(buffer, 8), 2u);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_EQ(file.Read(buffer, 8), 0u);
    EXPECT_EQ(file.Seek(10, CFile::begin), 10);
    EXPECT_EQ(file.Read(buffer, 8), 0u);
    EXPECT_EQ(file.GetLength(), 6u);
}

TEST(MemFile, WritesOverwriteThenGrowAndFillGapsWithZeros)
{
    CMemFile file("abcdef", 6);
    file.Seek(2, CFile::begin);
    file.Write("XY", 2);
    EXPECT_EQ(Text(file), "abXYef");
    file.Seek(5, CFile::begin);
    file.Write("12", 2);
    EXPECT_EQ(Text(file), "abXYe12");
    file.Seek(2, CFile::end);
    file.Write("!", 1);
    EXPECT_EQ(Text(file), std::string("abXYe12\0\0!", 10));
    EXPECT_EQ(file.Seek(0, CFile::current), 10);
}

TEST(MemFile, SeeksOutsideThe32BitRangeThrowBadSeek)
{
    CMemFile file("abc", 3, "clip.bin");
    file.Seek(1, CFile::begin);
    const CFileException error = CatchFileException([&] { file.Seek(-2, CFile::current); });
    EXPECT_EQ(error.m_cause, CFileException::badSeek);
    EXPECT_EQ(error.GetErrorMessage(), "clip.bin: The file position is out of range.");
    file.Seek(INT32_MAX, CFile::begin);
    EXPECT_EQ(CatchFileException([&] { file.Seek(1, CFile::current); }).m_cause, CFileException::badSeek);
}

// Memory holds no 4 GiB: only the rules for positions are those of a disk file.
TEST(MemFile, PositionsPast4GiBFollowTheDiskFileRules)
{
    CMemFile file("abc", 3, "clip.bin");
    ExpectSeeks(file, {
        {true, 0, GIB_4 + 8, CFile::begin, GIB_4 + 8},
        {true, GIB_4 + 8, -(GIB_4 + 5), CFile::current, 3},
        {true, 0, INT64_MAX, CFile::begin, INT64_MAX},
        {true, INT64_MAX, 1, CFile::current, REFUSED},
        {true, 1, INT64_MAX, CFile::current, REFUSED},   // the sum overflows
        {true, 1, INT64_MIN, CFile::current, REFUSED},
        {true, 0, -4, CFile::end, REFUSED},
        {true, 0, 0, 7, REFUSED},                        // no such origin
        {false, GIB_4 + 8, 0, CFile::current, REFUSED},
        {false, GIB_4 + 8, 1, CFile::begin, 1},
        {false, GIB_4 + 8, -1, CFile::end, 2},
    });
    EXPECT_EQ(file.GetLength64(), 3u);

    char c = 0;
    file.Seek64(GIB_4 + 8, CFile::begin);
    EXPECT_EQ(file.Read(&c, 1), 0u);
    EXPECT_EQ(file.ReadAt(GIB_4 + 1, &c, 1), 0u);
    EXPECT_EQ(file.ReadAt(INT64_MAX, &c, 1), 0u);
    EXPECT_EQ(CatchFileException([&] { file.ReadAt(uint64_t(INT64_MAX) + 1, &c, 1); }).m_cause,
              CFileException::badSeek);
    EXPECT_EQ(CatchFileException([&] { file.Write("x", 1); }).m_cause, CFileException::tooLarge);
    EXPECT_EQ(Text(file), "abc");
    EXPECT_EQ(file.Seek64(0, CFile::current), uint64_t(GIB_4 + 8));
}

TEST(MemFile, ClosedFileThrowsAndCreateStartsEmpty)
{
    CMemFile file("abc", 3, "clip.bin");
    file.Close();
    char c;
    EXPECT_EQ(CatchFileException([&] { file.Read(&c, 1); }).m_cause, CFileException::invalidFile);
    EXPECT_EQ(CatchFileException([&] { file.GetLength(); }).m_cause, CFileException::invalidFile);
    EXPECT_EQ(CatchFileException([&] { file.GetLength64(); }).m_cause, CFileException::invalidFile);
    EXPECT_EQ(CatchFileException([&] { file.Seek64(0, CFile::begin); }).m_cause, CFileException::invalidFile);
    EXPECT_EQ(CatchFileException([&] { file.ReadAt(0, &c, 1); }).m_cause, CFileException::invalidFile);
    ASSERT_TRUE(file.Open("again.bin", CFile::modeRead));
    EXPECT_EQ(file.GetLength(), 3u);
    ASSERT_TRUE(file.Open("new.bin", CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
}
