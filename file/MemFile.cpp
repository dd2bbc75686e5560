#include "MemFile.h"

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

uint32_t CMemFile::ReadAt(uint32_t position, void* buffer, uint32_t count)
{
    ThrowIfClosed();
    if (position >= m_data.size())
        return 0;
    const uint32_t got = std::min<uint32_t>(count, static_cast<uint32_t>(m_data.size()) - position);
    std::memcpy(buffer, m_data.data() + position, got);
    return got;
}

void CMemFile::Write(const void* buffer, uint32_t count)
{
    ThrowIfClosed();
    if (count == 0)
        return;
    const uint64_t end = uint64_t(m_nPosition) + count;
    if (end > UINT32_MAX)
        ThrowFileException(CFileException::tooLarge);
    try {
        if (end > m_data.size())
            m_data.resize(static_cast<size_t>(end));  // a gap left by seeking past the end reads as zeros
    } catch (const std::bad_alloc&) {
        throw CMemoryException();
    }
    std::memcpy(m_data.data() + m_nPosition, buffer, count);
    m_nPosition = static_cast<uint32_t>(end);
}

int32_t CMemFile::Seek(int32_t offset, unsigned from)
{
    ThrowIfClosed();
    int64_t base = 0;
    if (from == current)
        base = m_nPosition;
    else if (from == end)
        base = static_cast<int64_t>(m_data.size());
    else if (from != begin)
        ThrowFileException(CFileException::badSeek);
    const int32_t position = CheckedPosition(base + offset);
    m_nPosition = static_cast<uint32_t>(position);
    return position;
}

uint32_t CMemFile::GetLength() const
{
    ThrowIfClosed();
    return static_cast<uint32_t>(m_data.size());
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
