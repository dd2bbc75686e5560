#include "file/MemFile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

CMemFile::CMemFile()
{
    m_strFileName = "memory";
}

CMemFile::CMemFile(const void* data, uint32_t size, std::string name)
    : m_data(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + (data ? size : 0))
{
    m_strFileName = std::move(name);
}

// Starts over like a disk file: modeCreate empties the block, anything else keeps it.
bool CMemFile::Open(const char* fileName, unsigned openFlags, CFileException*)
{
    m_strFileName = fileName ? fileName : "";
    if (openFlags & modeCreate)
        m_data.clear();
    m_nPosition = 0;
    m_bOpen = true;
    return true;
}

uint32_t CMemFile::Read(void* buffer, uint32_t count)
{
    const uint32_t got = ReadAt(m_nPosition, buffer, count);
    m_nPosition += got;
    return got;
}

uint32_t CMemFile::ReadAt(uint64_t position, void* buffer, uint32_t count)
{
    ThrowIfClosed();
    CheckedPosition(position, 0, INT64_MAX);
    if (position >= m_data.size())
        return 0;
    const uint32_t got = static_cast<uint32_t>(std::min<uint64_t>(count, m_data.size() - position));
    std::memcpy(buffer, m_data.data() + static_cast<size_t>(position), got);
    return got;
}

void CMemFile::Write(const void* buffer, uint32_t count)
{
    ThrowIfClosed();
    if (count == 0)
        return;
    const uint64_t end = m_nPosition + count;
    if (end > UINT32_MAX)
        ThrowFileException(CFileException::tooLarge);
    try {
        if (end > m_data.size())
            m_data.resize(static_cast<size_t>(end));  // a gap left by seeking past the end reads as zeros
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
    std::memcpy(m_data.data() + static_cast<size_t>(m_nPosition), buffer, count);
    m_nPosition = end;
}

uint64_t CMemFile::SeekWithin(int64_t offset, unsigned from, uint64_t last)
{
    ThrowIfClosed();
    uint64_t base = 0;
    if (from == current)
        base = m_nPosition;
    else if (from == end)
        base = m_data.size();
    else if (from != begin)
        ThrowFileException(CFileException::badSeek);
    m_nPosition = CheckedPosition(base, offset, last);
    return m_nPosition;
}

uint64_t CMemFile::GetLength64() const
{
    ThrowIfClosed();
    return m_data.size();
}

void CMemFile::Flush()
{
    ThrowIfClosed();
}

void CMemFile::Close()
{
    m_bOpen = false;
}

bool CMemFile::IsOpen() const
{
    return m_bOpen;
}
