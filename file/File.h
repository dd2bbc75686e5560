#pragma once
// The framework's file class, in the classic class-library shape: 32-bit lengths
// and positions, Open that reports by its result, and Seek, Read and Write that
// throw CFileException. A file whose Open failed remembers why, and its first
// Seek, Read, Write or GetLength throws that failure. Beside the 32-bit calls,
// GetLength64, Seek64 and ReadAt reach any position of a file past 4 GiB. Both
// widths rest on one primitive each, GetLength64 and SeekWithin, which are what
// a derived class overrides; Seek, Seek64 and GetLength are not virtual, so that
// no class can answer the two widths differently.
#include "file/FileException.h"
#include "file/FileIdentity.h"

#include <cstdint>
#include <string>

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,     // no share flag: exclusive while open
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,      // create, or cut an existing file to length 0
    };
    enum SeekPosition : unsigned { begin = 0, current = 1, end = 2 };

    CFile();
    // Takes over a handle (a descriptor on POSIX) that is already open, as Open
    // would have left it; errors name fileName. The object closes it.
    CFile(intptr_t hFile, const std::string& fileName);
    virtual ~CFile();             // closes without throwing
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE on failure; the reason goes to *pError when given, and is kept for
    // the next operation either way.
    virtual bool Open(const char* fileName, unsigned openFlags, CFileException* pError = nullptr);
    // Opens an existing regular file for reading, shared with every other opener.
    // A pipe, a FIFO or a device fails with notRegularFile, without waiting for a
    // FIFO's writer, and a folder with the system's own reason; the check is made
    // on the handle that is then read, so that nothing can be swapped in between.
    bool OpenRegularFile(const char* fileName, CFileException* pError = nullptr);
    // As the adopting constructor, for an object that exists already: closes what
    // it held (dropping a failed close) and takes over hFile.
    virtual void Attach(intptr_t hFile, const std::string& fileName);
    // Reads up to count bytes; returns the count read (short only at the end of the file).
    virtual uint32_t Read(void* buffer, uint32_t count);
    // Reads up to count bytes from position, for several threads reading one
    // open file at once: the file's own position is not used (on Windows it
    // moves, so that a file read this way is not also read with Read); short
    // only at the end of the file, and no byte lies at 2^63 or past it. A
    // position past 2^63-1 throws badSeek.
    virtual uint32_t ReadAt(uint64_t position, void* buffer, uint32_t count);
    // Writes all count bytes or throws.
    virtual void Write(const void* buffer, uint32_t count);
    // Return the new position from the start. A position outside 0..2^31-1
    // (Seek) or 0..2^63-1 (Seek64) throws badSeek and leaves the file where it was.
    int32_t Seek(int32_t offset, unsigned from);
    uint64_t Seek64(int64_t offset, unsigned from);
    // GetLength throws tooLarge when the length does not fit in 32 bits.
    uint32_t GetLength() const;
    virtual uint64_t GetLength64() const;
    // Writes what the system still holds of the file to the disk.
    virtual void Flush();
    virtual void Close();
    virtual bool IsOpen() const;
    // The file the handle reaches; throws when the system cannot tell.
    FileIdentity GetIdentity() const;
    // The system's handle (a descriptor on POSIX), -1 when closed; the object keeps it.
    intptr_t GetHandle() const { return m_hFile; }

    // The path as given to Open, and the name without its folder.
    const std::string& GetFilePath() const { return m_strFileName; }
    std::string GetFileName() const;

    static void Remove(const char* fileName);

    // Throws the kept failure of Open, or invalidFile when the file was never opened.
    void ThrowIfClosed() const;

protected:
    [[noreturn]] void ThrowFileException(int cause, long osError = 0) const;
    // Keeps failure for the next operation and hands it to *pError; returns false.
    bool OpenFailed(const CFileException& failure, CFileException* pError);
    // What Seek and Seek64 do: moves to offset from begin, current or end, and
    // returns the new position; a position outside 0..last throws badSeek
    // before the file moves.
    virtual uint64_t SeekWithin(int64_t offset, unsigned from, uint64_t last);
    // The one rule for a position: base + offset within 0..last (last at most
    // 2^63-1), or badSeek; checked before the file moves, so that a refused seek
    // leaves the position where it was.
    uint64_t CheckedPosition(uint64_t base, int64_t offset, uint64_t last) const;

    std::string m_strFileName;

private:
    // Backend: 0 or the system's error code; these never throw.
    static long OpenOsHandle(const char* fileName, unsigned openFlags, intptr_t& hFile) noexcept;
    // Opens for reading and sets regular to whether the handle reaches a regular file.
    static long OpenOsExisting(const char* fileName, intptr_t& hFile, bool& regular) noexcept;
    static long OsIdentity(intptr_t hFile, FileIdentity& identity) noexcept;
    static long CloseOsHandle(intptr_t hFile) noexcept;
    static long OsPosition(intptr_t hFile, int64_t& position) noexcept;
    static long OsLength(intptr_t hFile, int64_t& length) noexcept;
    // 0 or the system's error; got is the count read (0 at the end of the file).
    static long OsReadAt(intptr_t hFile, uint64_t position, void* buffer, uint32_t count, uint32_t& got) noexcept;
    static long SetOsPosition(intptr_t hFile, int64_t position) noexcept;
    static long FlushOsHandle(intptr_t hFile) noexcept;
    static long RemoveOsFile(const char* fileName) noexcept;

    intptr_t m_hFile;             // HANDLE on Windows, descriptor on POSIX; -1 when closed
    CFileException m_openFailure; // why the last Open failed (cause none when it did not)
};
