#pragma once
// File doubles that count what is done with them: a memory file for tests, a
// disk file for the benchmarks, and an endless file for spans too large for memory.
#include "file/File.h"
#include "file/MemFile.h"

#include <cstdint>
#include <vector>

// Base, counting its reads, writes and seeks and keeping where each read was.
template <typename Base>
class CCounting : public Base {
public:
    using Base::Base;

    struct ReadSpan {
        uint64_t position;
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
            m_nPosition = Base::SeekWithin(0, CFile::current, INT64_MAX);
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
    int m_nReads = 0;
    int m_nWrites = 0;
    int m_nSeeks = 0;
    uint64_t m_nBytesRead = 0;
    std::vector<ReadSpan> m_readSpans;

protected:
    // Every Seek and Seek64 comes here.
    uint64_t SeekWithin(int64_t offset, unsigned from, uint64_t last) override
    {
        ++m_nSeeks;
        m_nPosition = Base::SeekWithin(offset, from, last);
        m_bPositionKnown = true;
        return m_nPosition;
    }

private:
    // Asked of Base once, then followed here: for a disk file each asking is a system call.
    uint64_t m_nPosition = 0;
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
    uint64_t GetLength64() const override { return 0xFFFFFFFFu; }
    bool IsOpen() const override { return true; }
    void Close() override {}

    int m_nReads = 0;
    int m_nWrites = 0;
    uint64_t m_nBytesWritten = 0;

protected:
    // Goes nowhere: every position is as good as another, only its range is checked.
    uint64_t SeekWithin(int64_t offset, unsigned, uint64_t last) override { return CheckedPosition(0, offset, last); }
};
