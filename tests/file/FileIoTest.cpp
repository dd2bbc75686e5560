// Reading, writing, seeking and lengths of open disk files.
#include "SeekCases.h"
#include "TempFiles.h"

#include <cstdint>

using FileIo = TempFiles;

TEST_F(FileIo, ReadReturnsTheCountItGotAtTheEndOfTheFile)
{
    const std::string path = NewFile("0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(file.Read(buffer, 16), 6u);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file.Read(buffer, 16), 0u);
}

TEST_F(FileIo, LargeTransfersArriveWhole)
{
    std::vector<uint8_t> data(3'000'000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7 + i / 251);
    const std::string path = NewPath();
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite));
    file.Write(data.data(), static_cast<uint32_t>(data.size()));
    EXPECT_EQ(file.GetLength(), data.size());
    EXPECT_EQ(file.Seek(0, CFile::begin), 0);
    std::vector<uint8_t> back(data.size() + 10);
    EXPECT_EQ(file.Read(back.data(), static_cast<uint32_t>(back.size())), data.size());
    back.resize(data.size());
    EXPECT_EQ(back, data);
}

TEST_F(FileIo, WritingToAFileOpenedForReadingThrowsAndChangesNothing)
{
    const std::string path = NewFile("keep");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    const CFileException error = CatchFileException([&] { file.Write("lost", 4); });
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_NE(error.m_lOsError, 0);
    EXPECT_EQ(error.m_strFileName, path);
    file.Close();
    EXPECT_EQ(Content(path), "keep");
}

#ifndef _WIN32
TEST_F(FileIo, AWriteTheDiskCannotTakeThrowsDiskFull)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    CFile file;
    ASSERT_TRUE(file.Open("/dev/full", CFile::modeWrite));
    const CFileException error = CatchFileException([&] { file.Write("x", 1); });
    EXPECT_EQ(error.m_cause, CFileException::diskFull);
    EXPECT_EQ(error.GetErrorMessage(), "/dev/full: No space left on device.");
}
#endif

TEST_F(FileIo, SeekFromBeginCurrentAndEnd)
{
    const std::string path = NewFile("abcdefghij");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    char c = 0;
    EXPECT_EQ(file.Seek(3, CFile::begin), 3);
    EXPECT_EQ(file.Seek(2, CFile::current), 5);
    file.Read(&c, 1);
    EXPECT_EQ(c, 'f');
    EXPECT_EQ(file.Seek(-2, CFile::current), 4);
    file.Read(&c, 1);
    EXPECT_EQ(c, 'e');
    EXPECT_EQ(file.Seek(-1, CFile::end), 9);
    file.Read(&c, 1);
    EXPECT_EQ(c, 'j');
}

TEST_F(FileIo, PositionsOutsideThe32BitRangeThrowBadSeekAndStayPut)
{
    const std::string path = NewFile("abcdefghij");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    file.Seek(4, CFile::begin);
    EXPECT_EQ(CatchFileException([&] { file.Seek(-1, CFile::begin); }).m_cause, CFileException::badSeek);
    EXPECT_EQ(CatchFileException([&] { file.Seek(-5, CFile::current); }).m_cause, CFileException::badSeek);
    EXPECT_EQ(CatchFileException([&] { file.Seek(-11, CFile::end); }).m_cause, CFileException::badSeek);
    char c = 0;
    file.Read(&c, 1);
    EXPECT_EQ(c, 'e');

    EXPECT_EQ(file.Seek(INT32_MAX, CFile::begin), INT32_MAX);
    const CFileException wrap = CatchFileException([&] { file.Seek(1, CFile::current); });
    EXPECT_EQ(wrap.m_cause, CFileException::badSeek);
    EXPECT_EQ(wrap.GetErrorMessage(), path + ": The file position is out of range.");
    EXPECT_EQ(file.Seek(0, CFile::current), INT32_MAX);
}

TEST_F(FileIo, WritingPastTheEndGrowsTheFile)
{
    const std::string path = NewFile("ab");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeReadWrite));
    file.Seek(4, CFile::begin);
    file.Write("z", 1);
    EXPECT_EQ(file.GetLength(), 5u);
    file.Close();
    EXPECT_EQ(Content(path), std::string("ab\0\0z", 5));
}

// A sparse file past 4 GiB: the 64-bit calls reach all of it, the 32-bit ones
// refuse what they cannot tell.
constexpr int64_t LARGE = GIB_4 + 16;
constexpr const char* NO_LARGE_FILE = "the file system here holds no file past 4 GiB";

TEST_F(FileIo, LengthsOf4GiBOrMoreAndPositionsPast2GiBAreRefused)
{
    const std::string path = NewLargeFile(LARGE, 0, "");
    if (path.empty())
        GTEST_SKIP() << NO_LARGE_FILE;
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(file.GetLength64(), uint64_t(LARGE));
    EXPECT_EQ(CatchFileException([&] { file.GetLength(); }).m_cause, CFileException::tooLarge);
    EXPECT_EQ(CatchFileException([&] { file.Seek(0, CFile::end); }).m_cause, CFileException::badSeek);
    EXPECT_EQ(file.Seek(0, CFile::current), 0);
}

TEST_F(FileIo, Seek64ReachesPast4GiBAndSeekStaysBelow2GiB)
{
    const std::string path = NewLargeFile(LARGE, 0, "");
    if (path.empty())
        GTEST_SKIP() << NO_LARGE_FILE;
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    ExpectSeeks(file, {
        {true, 0, GIB_4 + 8, CFile::begin, GIB_4 + 8},
        {true, GIB_4, 8, CFile::current, GIB_4 + 8},
        {true, GIB_4 + 8, -(GIB_4 + 8), CFile::current, 0},
        {true, 0, -16, CFile::end, GIB_4},
        {true, 0, 8, CFile::end, LARGE + 8},
        {true, GIB_4, INT64_MAX, CFile::current, REFUSED},   // the sum overflows
        {true, GIB_4, INT64_MIN, CFile::current, REFUSED},
        {true, GIB_4, -GIB_4 - 1, CFile::current, REFUSED},
        {true, GIB_4, -LARGE - 1, CFile::end, REFUSED},
        {true, GIB_4, 0, 7, REFUSED},                        // no such origin
        {false, GIB_4 + 8, 0, CFile::current, REFUSED},
        {false, GIB_4 + 8, -8, CFile::current, REFUSED},
        {false, GIB_4 + 8, INT32_MIN, CFile::current, REFUSED},
        {false, GIB_4 + 8, -16, CFile::end, REFUSED},
        {false, GIB_4 + 8, 5, CFile::begin, 5},
        {false, GIB_4 + 8, INT32_MAX, CFile::begin, INT32_MAX},
    });
}

TEST_F(FileIo, ReadAtPast4GiBReadsTheBytesThere)
{
    const std::string path = NewLargeFile(LARGE, GIB_4 - 4, "ABCDEFGH");
    if (path.empty())
        GTEST_SKIP() << NO_LARGE_FILE;
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    const struct {
        uint64_t position;
        uint32_t count;
        std::string expected;
    } reads[] = {
        {GIB_4 - 4, 8, "ABCDEFGH"},
        {GIB_4, 4, "EFGH"},
        {GIB_4 + 2, 4, std::string("GH\0\0", 4)},
        {LARGE - 2, 8, std::string(2, '\0')},   // short at the end
        {LARGE, 8, ""},
        {INT64_MAX, 8, ""},                     // no byte lies there, nor past it
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(read.position);
        std::string got(read.count, '?');
        got.resize(file.ReadAt(read.position, &got[0], read.count));
        EXPECT_EQ(got, read.expected);
    }
    char c = 0;
    EXPECT_EQ(CatchFileException([&] { file.ReadAt(uint64_t(INT64_MAX) + 1, &c, 1); }).m_cause,
              CFileException::badSeek);

    // Read goes on from where Seek64 put the file, across 4 GiB.
    file.Seek64(GIB_4 - 4, CFile::begin);
    std::string got(8, '?');
    EXPECT_EQ(file.Read(&got[0], 8), 8u);
    EXPECT_EQ(got, "ABCDEFGH");
    EXPECT_EQ(file.Seek64(0, CFile::current), uint64_t(GIB_4 + 4));
}
