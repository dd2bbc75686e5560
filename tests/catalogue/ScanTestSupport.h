#pragma once
// Shared pieces of the scanner tests: scanning builder output from memory or
// from a real file, and comparing the table with what the builder laid out.
#include "catalogue/ArchiveScanner.h"
#include "file/File.h"
#include "file/MemFile.h"
#include "samples/ArchiveBuilder.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct ScanOutcome {
    ScanResult result;
    std::vector<uint32_t> progress;
};

inline ScanOutcome ScanFile(CFile& file, uint32_t length, bool publisher, ClipTable& table)
{
    ScanOutcome outcome;
    outcome.result = ScanArchive(file, length, publisher, table,
                                 [&](uint32_t cursor) { outcome.progress.push_back(cursor); });
    return outcome;
}

inline ScanOutcome ScanBytes(const std::vector<uint8_t>& bytes, bool publisher, ClipTable& table)
{
    CMemFile file(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return ScanFile(file, static_cast<uint32_t>(bytes.size()), publisher, table);
}

inline ScanOutcome ScanBuilt(const testsupport::ArchiveBuilder& builder, ClipTable& table)
{
    return ScanBytes(builder.Bytes(), builder.GetLayout() == testsupport::ArchiveBuilder::Layout::Publisher,
                     table);
}

inline void ExpectRecordsAsBuilt(const ClipTable& table, const std::vector<testsupport::BuiltClip>& clips,
                                 size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const ClipRecord& record = table.aRecords[i];
        EXPECT_EQ(clips[i].hiOffset, record.dwHiOffset) << "clip " << i;
        EXPECT_EQ(clips[i].hiSize, record.dwHiSize) << "clip " << i;
        EXPECT_EQ(clips[i].loOffset, record.dwLoOffset) << "clip " << i;
        EXPECT_EQ(clips[i].loSize, record.dwLoSize) << "clip " << i;
        EXPECT_EQ(clips[i].frames, record.dwFrames) << "clip " << i;
    }
}

// Opens the file as the viewer does and scans it with the length taken first.
inline ScanOutcome ScanPath(const std::string& path, bool publisher, ClipTable& table)
{
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    return ScanFile(file, file.GetLength(), publisher, table);
}
