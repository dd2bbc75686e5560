#pragma once
// Seeks of either width from a start, each expected to land at a position or be
// refused (minus the cause) with the file left at its start.
#include "CatchFileException.h"
#include "file/File.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

constexpr int64_t GIB_4 = int64_t(1) << 32;
constexpr int64_t REFUSED = -CFileException::badSeek;

struct SeekCase {
    bool wide;          // Seek64, or Seek (offset within 32 bits)
    int64_t start;      // where Seek64 puts the file first
    int64_t offset;
    unsigned from;
    int64_t expected;   // the new position, or REFUSED
};

inline void ExpectSeeks(CFile& file, std::initializer_list<SeekCase> cases)
{
    int index = 0;
    for (const SeekCase& c : cases) {
        SCOPED_TRACE(index++);
        file.Seek64(c.start, CFile::begin);
        const int64_t got = Outcome([&] {
            return c.wide ? static_cast<int64_t>(file.Seek64(c.offset, c.from))
                          : file.Seek(static_cast<int32_t>(c.offset), c.from);
        });
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(file.Seek64(0, CFile::current), static_cast<uint64_t>(got < 0 ? c.start : got));
    }
}
