#pragma once
// A CFile over a block of memory, for tests and fuzzing. Reads stop at the end of
// the block; writes grow it. Seeking past the end is allowed, as for a disk file.
#include "file/File.h"

#include <vector>

class CMemFile : public CFile {
public:
    CMemFile();
    CMemFile(const void* data, uint32_t size, std::string name = "memory");

    bool Open(const char* fileName, unsigned openFlags, CFileException* pError = nullptr) override;
    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t ReadAt(uint64_t position, void* buffer, uint32_t count) override;
    // A write that would end past 4 GiB - 1 throws tooLarge.
    void Write(const void* buffer, uint32_t count) override;
    uint64_t GetLength64() const override;
    void Flush() override;
    void Close() override;
    bool IsOpen() const override;

    const std::vector<uint8_t>& Data() const { return m_data; }

protected:
    uint64_t SeekWithin(int64_t offset, unsigned from, uint64_t last) override;

private:
    std::vector<uint8_t> m_data;
    uint64_t m_nPosition = 0;
    bool m_bOpen = true;
};
