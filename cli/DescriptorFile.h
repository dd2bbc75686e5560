#pragma once
// A write-only CFile over a descriptor that is already open, so that a file made
// by mkstemp is written through the same interface as any other target.
#include "File.h"

#include <string>

class CDescriptorFile : public CFile {
public:
    // Takes ownership of fd; errors name displayName.
    CDescriptorFile(int fd, const std::string& displayName);
    ~CDescriptorFile() override;

    void Write(const void* buffer, uint32_t count) override;
    void Close() override;
    bool IsOpen() const override { return m_fd >= 0; }

    // Flushes the written bytes to the disk; throws CFileException on failure.
    void Sync();

private:
    [[noreturn]] void ThrowErrno(int error) const;

    int m_fd;
};
