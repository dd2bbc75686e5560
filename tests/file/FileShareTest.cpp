// Share modes as Windows honours them; POSIX has none to test.
#include "TempFiles.h"

#ifdef _WIN32
#include "SystemReason.h"

using FileShare = TempFiles;

TEST_F(FileShare, AReaderThatSharesStillBlocksAnExclusiveCreate)
{
    const std::string path = NewFile("keep");
    CFile reader;
    ASSERT_TRUE(reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));

    CFile writer;
    CFileException error;
    EXPECT_FALSE(writer.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.m_lOsError, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(error.GetErrorMessage(), path + ": " + SystemReason(ERROR_SHARING_VIOLATION));
    const CFileException thrown = CatchFileException([&] { writer.Write("lost", 4); });
    EXPECT_EQ(thrown.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(thrown.m_strFileName, path);

    EXPECT_EQ(reader.GetLength(), 4u);
    char buffer[8] = {};
    EXPECT_EQ(reader.Read(buffer, 8), 4u);
    EXPECT_EQ(std::string(buffer, 4), "keep");
}

TEST_F(FileShare, ReadersThatShareCoexist)
{
    const std::string path = NewFile("both");
    CFile first, second;
    ASSERT_TRUE(first.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    ASSERT_TRUE(second.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    EXPECT_EQ(second.GetLength(), 4u);
}

TEST_F(FileShare, NoShareFlagMeansExclusiveAndDenyWriteAdmitsOnlyReaders)
{
    const std::string path = NewFile("data");
    {
        CFile exclusive, other;
        ASSERT_TRUE(exclusive.Open(path.c_str(), CFile::modeRead));
        CFileException error;
        EXPECT_FALSE(other.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    }
    CFile denyWrite, reader, writer;
    ASSERT_TRUE(denyWrite.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_TRUE(reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    EXPECT_FALSE(writer.Open(path.c_str(), CFile::modeWrite | CFile::shareDenyNone));
}
#endif
