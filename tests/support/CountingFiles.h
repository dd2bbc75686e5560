#pragma once
// File doubles that count the calls a copy makes.
#include "File.h"
#include "MemFile.h"

#include <cstdint>
#include <vector>

// A memory file that counts its reads and writes.
class CCountingMemFile : public CMemFile {
public:
    using CMemFile::CMemFile;

    uint32_t Read(void* buffer, uint32_t count) override
    {
        ++m_nReads;
        return CMemFile::Read(buffer, count);
    }
    void Write(const void* buffer, uint32_t count) override
    {
        ++m_nWrites;
        CMemFile::Write(buffer, count);
    }

    int m_nReads = 0;
    int m_nWrites = 0;
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
