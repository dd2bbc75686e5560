#pragma once
// File doubles that count what is done with them: a memory file for tests, a
// disk file for the benchmarks, and an endless file for spans too large for memory.
#include "File.h"
#include "MemFile.h"

#include <cstdint>
#include <vector>

// Base, counting its reads, writes and seeks and keeping where each read was.
template <typename Base>
class CCounting : public Base {
public:
    using Base::Base;

    struct ReadSpan {
        uint32_t position;
        uint32_t count;   // the bytes actually read
    };

    bool Open(const char* fileName, unsigned openFlags, CFileException* pError = nullptr) override
    {
        m_bPositionKnown = false;
        return Base::Open(fileName, openFlags, pError);
    }
    void Attach(intptr_t hFile, const std::string& fileName) override
    {
        m_bPositionKnown = false;
        Base::Attach(hFile, fileName);
    }
    uint32_t Read(void* buffer, uint32_t count) override
    {
        ++m_nReads;
        if (!m_bPositionKnown) {
            m_nPosition = static_cast<uint32_t>(Base::Seek(0, CFile::current));
            m_bPositionKnown = true;
        }
        const uint32_t read = Base::Read(buffer, count);
        m_readSpans.push_back({m_nPosition, read});
        m_nPosition += read;
        m_nBytesRead += read;
        return read;
    }
    void Write(const void* buffer, uint32_t count) override
    {
        ++m_nWrites;
        Base::Write(buffer, count);
        m_nPosition += count;
    }
    int32_t Seek(int32_t offset, unsigned from) override
    {
        ++m_nSeeks;
        const int32_t position = Base::Seek(offset, from);
        m_nPosition = static_cast<uint32_t>(position);
        m_bPositionKnown = true;
        return position;
    }

    int m_nReads = 0;
    int m_nWrites = 0;
    int m_nSeeks = 0;
    uint64_t m_nBytesRead = 0;
    std::vector<ReadSpan> m_readSpans;

private:
    // Asked of Base once, then followed here: for a disk file each asking is a system call.
    uint32_t m_nPosition = 0;
    bool m_bPositionKnown = false;
};

using CCountingMemFile = CCounting<CMemFile>;
using CCountingFile = CCounting<CFile>;

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
