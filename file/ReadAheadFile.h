#pragma once
// A disk file for walking many small headers: reads are served from a block read
// ahead, and a seek only moves a number until the next read leaves the block, so
// that stepping over thousands of small records costs one system call a block
// instead of two a record. Reads of a block or more go straight to the file.
#include "file/File.h"

#include <vector>

class CReadAheadFile : public CFile {
public:
    static constexpr uint32_t DEFAULT_BLOCK = 64 * 1024;

    explicit CReadAheadFile(uint32_t blockSize = DEFAULT_BLOCK);

    bool Open(const char* fileName, unsigned openFlags, CFileException* pError = nullptr) override;
    // An attached handle is read from the start of its file.
    void Attach(intptr_t hFile, const std::string& fileName) override;
    uint32_t Read(void* buffer, uint32_t count) override;
    void Write(const void* buffer, uint32_t count) override;
    void Close() override;

protected:
    uint64_t SeekWithin(int64_t offset, unsigned from, uint64_t last) override;

private:
    // Puts the system's position where the caller's is, and forgets the block.
    void SyncPosition();

    std::vector<uint8_t> m_block;
    uint64_t m_nBlockStart = 0;    // file position of m_block[0]
    uint32_t m_nBlockLength = 0;   // bytes of m_block that hold file data
    uint64_t m_nPosition = 0;      // the caller's position
    bool m_bSystemAtBlockEnd = true;   // the system's position is m_nBlockStart + m_nBlockLength
};
