#include "CountingFiles.h"
#include "file/FileException.h"
#include "output/ClipCopy.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr uint32_t SPAN_OFFSET = 4097;   // not chunk-aligned on purpose

std::vector<uint8_t> PatternBytes(uint32_t size)
{
    std::vector<uint8_t> bytes(size);
    for (uint32_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 7919u) >> 3 ^ i);
    return bytes;
}

struct CopyRun {
    std::vector<uint32_t> reports;
    int reads = 0;
    int writes = 0;
    std::vector<uint8_t> output;
};

// Copies size bytes from SPAN_OFFSET of a source holding sourceSize bytes.
CopyRun Copy(uint32_t sourceSize, uint32_t size, CopyAllocator allocate = nullptr)
{
    const std::vector<uint8_t> archive = PatternBytes(sourceSize);
    CCountingMemFile source(archive.data(), sourceSize, "archive.pak");
    CCountingMemFile target;
    CopyRun run;
    CopyClipBytes(source, SPAN_OFFSET, size, target,
                  [&](uint32_t copied) { run.reports.push_back(copied); }, allocate);
    run.reads = source.m_nReads;
    run.writes = target.m_nWrites;
    run.output = target.Data();
    return run;
}

// --- Whole spans --------------------------------------------------------------

struct SpanCase {
    uint32_t size;
    std::vector<uint32_t> reports;
};

class CopyOfWholeSpan : public ::testing::TestWithParam<SpanCase> {};

TEST_P(CopyOfWholeSpan, CopiesExactBytesInMebibyteChunksReportingRunningTotals)
{
    const SpanCase& c = GetParam();
    // Bytes after the span must not leak into the output.
    const CopyRun run = Copy(SPAN_OFFSET + c.size + 100, c.size);

    const std::vector<uint8_t> archive = PatternBytes(SPAN_OFFSET + c.size + 100);
    ASSERT_EQ(run.output.size(), c.size);
    EXPECT_TRUE(std::equal(run.output.begin(), run.output.end(), archive.begin() + SPAN_OFFSET));
    EXPECT_EQ(run.reports, c.reports);
    EXPECT_EQ(run.reads, static_cast<int>(c.reports.size()));
    EXPECT_EQ(run.writes, static_cast<int>(c.reports.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CopyOfWholeSpan,
    ::testing::Values(SpanCase{0, {}},
                      SpanCase{1, {1}},
                      SpanCase{MIB - 1, {MIB - 1}},
                      SpanCase{MIB, {MIB}},
                      SpanCase{MIB + 1, {MIB, MIB + 1}},
                      SpanCase{3000000, {MIB, 2 * MIB, 3000000}}));

TEST(CopyOfWholeSpan, SizeNearFourGibibytesEnds)
{
    CEndlessFile source;
    CEndlessFile target;
    std::vector<uint32_t> reports;
    const uint32_t size = 0xFFFFFFFFu;   // above 2^32 - 2^20
    CopyClipBytes(source, 0, size, target, [&](uint32_t copied) { reports.push_back(copied); });

    ASSERT_EQ(reports.size(), 4096u);
    EXPECT_EQ(reports[4094], 4095u * MIB);
    EXPECT_EQ(reports.back(), size);
    EXPECT_EQ(target.m_nBytesWritten, size);
    EXPECT_EQ(source.m_nReads, 4096);
}

// --- The copy buffer ----------------------------------------------------------

int g_allocations = 0;
void* CountingAllocate(size_t size)
{
    ++g_allocations;
    // 1 MiB, and room to start it on a page.
    EXPECT_GE(size, static_cast<size_t>(MIB));
    EXPECT_LE(size, static_cast<size_t>(MIB) + 4096);
    return std::malloc(size);
}
void* FailingAllocate(size_t) { return nullptr; }

TEST(CopyBuffer, OneMebibyteBlockTakenOncePerCopy)
{
    g_allocations = 0;
    Copy(SPAN_OFFSET + 3000000, 3000000, CountingAllocate);
    EXPECT_EQ(g_allocations, 1);
}

TEST(CopyBuffer, MissingBufferFailsBeforeAnythingIsReadOrWritten)
{
    const std::vector<uint8_t> archive = PatternBytes(SPAN_OFFSET + 5000);
    CCountingMemFile source(archive.data(), static_cast<uint32_t>(archive.size()), "archive.pak");
    CCountingMemFile target;
    int reports = 0;
    EXPECT_THROW(CopyClipBytes(source, SPAN_OFFSET, 5000, target, [&](uint32_t) { ++reports; },
                               FailingAllocate),
                 CMemoryException);
    EXPECT_EQ(source.m_nReads, 0);
    EXPECT_EQ(target.m_nWrites, 0);
    EXPECT_EQ(reports, 0);
    EXPECT_TRUE(target.Data().empty());
}

// --- A source that ends before the span ---------------------------------------

TEST(ShortSource, WritesOnlyRealBytesThenFailsWithEndOfFileNamingTheSource)
{
    const uint32_t available = 5000;
    const std::vector<uint8_t> archive = PatternBytes(SPAN_OFFSET + available);
    CCountingMemFile source(archive.data(), static_cast<uint32_t>(archive.size()), "disc3.pak");
    CCountingMemFile target;
    std::vector<uint32_t> reports;
    try {
        CopyClipBytes(source, SPAN_OFFSET, 0xFFFFF000u, target,
                      [&](uint32_t copied) { reports.push_back(copied); });
        FAIL() << "a short source must fail";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::endOfFile);
        EXPECT_EQ(e.m_strFileName, "disc3.pak");
    }
    ASSERT_EQ(target.Data().size(), available);
    EXPECT_TRUE(std::equal(target.Data().begin(), target.Data().end(), archive.begin() + SPAN_OFFSET));
    EXPECT_TRUE(reports.empty());
}

TEST(ShortSource, EndInSecondChunkKeepsTheFirstChunkAndItsReport)
{
    const uint32_t available = MIB + MIB / 2;
    const std::vector<uint8_t> archive = PatternBytes(SPAN_OFFSET + available);
    CCountingMemFile source(archive.data(), static_cast<uint32_t>(archive.size()), "a.pak");
    CCountingMemFile target;
    std::vector<uint32_t> reports;
    EXPECT_THROW(CopyClipBytes(source, SPAN_OFFSET, 3 * MIB, target,
                               [&](uint32_t copied) { reports.push_back(copied); }),
                 CFileException);
    EXPECT_EQ(reports, std::vector<uint32_t>{MIB});
    EXPECT_EQ(target.Data().size(), available);
    EXPECT_EQ(target.m_nWrites, 2);
}

TEST(ShortSource, SpanStartingPastTheEndWritesNothing)
{
    const std::vector<uint8_t> archive = PatternBytes(100);
    CCountingMemFile source(archive.data(), 100, "a.pak");
    CCountingMemFile target;
    EXPECT_THROW(CopyClipBytes(source, 200, 10, target, nullptr), CFileException);
    EXPECT_EQ(target.m_nWrites, 0);
}

// --- Files that fail ----------------------------------------------------------

class CopyFileFailures : public ::testing::Test {
protected:
    testsupport::ScratchFolder m_folder;
    const std::string m_archivePath = m_folder.Write("disc1.pak", PatternBytes(SPAN_OFFSET + 3000));
};

TEST_F(CopyFileFailures, SourceThatDidNotOpenFailsAtTheSeek)
{
    CFile source;
    EXPECT_FALSE(source.Open((m_folder / "missing.pak").c_str(), CFile::modeRead));
    CCountingMemFile target;
    EXPECT_THROW(CopyClipBytes(source, 0, 10, target, nullptr), CFileException);
    EXPECT_EQ(target.m_nWrites, 0);
}

TEST_F(CopyFileFailures, TargetThatDidNotOpenFailsAtTheFirstWriteAndCreatesNothing)
{
    CFile source;
    ASSERT_TRUE(source.Open(m_archivePath.c_str(), CFile::modeRead | CFile::shareDenyNone));
    const std::string targetPath = m_folder / "no-such-folder/Clip001h.bik";
    CFile target;
    EXPECT_FALSE(target.Open(targetPath.c_str(), CFile::modeCreate | CFile::modeWrite));
    int reports = 0;
    EXPECT_THROW(CopyClipBytes(source, SPAN_OFFSET, 3000, target, [&](uint32_t) { ++reports; }),
                 CFileException);
    EXPECT_EQ(reports, 0);
    EXPECT_FALSE(std::filesystem::exists(targetPath));
}

TEST_F(CopyFileFailures, OffsetOfTwoGibibytesIsABadSeek)
{
    CFile source;
    ASSERT_TRUE(source.Open(m_archivePath.c_str(), CFile::modeRead | CFile::shareDenyNone));
    CCountingMemFile target;
    try {
        CopyClipBytes(source, 0x80000000u, 10, target, nullptr);
        FAIL() << "an offset past 2^31 - 1 must not be used";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::badSeek);
    }
    EXPECT_EQ(target.m_nWrites, 0);
}

TEST_F(CopyFileFailures, CopyBetweenDiskFilesRewritesTheTargetFromScratch)
{
    const std::string targetPath = m_folder / "Clip001h.bik";
    for (int pass = 0; pass < 2; ++pass) {
        CFile source;
        ASSERT_TRUE(source.Open(m_archivePath.c_str(), CFile::modeRead | CFile::shareDenyNone));
        CFile target;
        ASSERT_TRUE(target.Open(targetPath.c_str(), CFile::modeCreate | CFile::modeWrite));
        CopyClipBytes(source, SPAN_OFFSET, 3000, target, nullptr);
    }
    EXPECT_EQ(std::filesystem::file_size(targetPath), 3000u);
}

} // namespace
