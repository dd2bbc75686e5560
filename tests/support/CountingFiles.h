#pragma once
// File doubles that count what is done with them.
#include "File.h"
#include "MemFile.h"

#include <cstdint>
#include <vector>

// A memory file that counts its reads and writes and keeps where each read was.
class CCountingMemFile : public CMemFile {
public:
    using CMemFile::CMemFile;

    struct ReadSpan {
        uint32_t position;
        uint32_t count;   // the bytes actually read
    };

    uint32_t Read(void* buffer, uint32_t count) override
    {
        ++m_nReads;
        const uint32_t position = static_cast<uint32_t>(CMemFile::Seek(0, current));
        const uint32_t read = CMemFile::Read(buffer, count);
        m_readSpans.push_back({position, read});
        return read;
    }
    void Write(const void* buffer, uint32_t count) override
    {
        ++m_nWrites;
        CMemFile::Write(buffer, count);
    }

    int m_nReads = 0;
    int m_nWrites = 0;
    std::vector<ReadSpan> m_readSpans;
};

// A source of any length up to 4 GiB - 1 that holds no bytes, and a sink that
// keeps only the count: for spans too large for memory.
class CEndlessFile : public CFile {
public:
    uint32_t Read(void*, uint32_t count) override
    {
        ++m_nReads;
        return count;
    }
    void Write(const void*, uint32_t count) override
    {
        ++m_nWrites;
        m_nBytesWritten += count;
    }
    int32_t Seek(int32_t offset, unsigned) override { return offset; }
    uint32_t GetLength() const override { return 0xFFFFFFFFu; }
    bool IsOpen() const override { return true; }
    void Close() override {}

    int m_nReads = 0;
    int m_nWrites = 0;
    uint64_t m_nBytesWritten = 0;
};
