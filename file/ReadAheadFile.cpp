#include "file/ReadAheadFile.h"

#include <algorithm>
#include <cstring>

CReadAheadFile::CReadAheadFile(uint32_t blockSize) : m_block(std::max<uint32_t>(blockSize, 1)) {}

bool CReadAheadFile::Open(const char* fileName, unsigned openFlags, CFileException* pError)
{
    m_nBlockStart = m_nBlockLength = m_nPosition = 0;
    m_bSystemAtBlockEnd = true;
    return CFile::Open(fileName, openFlags, pError);
}

void CReadAheadFile::Attach(intptr_t hFile, const std::string& fileName)
{
    m_nBlockStart = m_nBlockLength = m_nPosition = 0;
    m_bSystemAtBlockEnd = false;   // the handle may be anywhere
    CFile::Attach(hFile, fileName);
}

void CReadAheadFile::SyncPosition()
{
    if (!m_bSystemAtBlockEnd || m_nPosition != m_nBlockStart + m_nBlockLength)
        CFile::SeekWithin(static_cast<int64_t>(m_nPosition), begin, INT64_MAX);
    m_nBlockStart = m_nPosition;
    m_nBlockLength = 0;
    m_bSystemAtBlockEnd = true;
}

uint32_t CReadAheadFile::Read(void* buffer, uint32_t count)
{
    // The common case, a few bytes inside the block, first and alone: a walk over
    // a long run of small records spends its time here. A block holds data only
    // while the file is open.
    const uint64_t offset = m_nPosition - m_nBlockStart;
    if (m_nPosition >= m_nBlockStart && offset <= m_nBlockLength && count <= m_nBlockLength - offset) {
        std::memcpy(buffer, m_block.data() + static_cast<size_t>(offset), count);
        m_nPosition += count;
        return count;
    }
    ThrowIfClosed();
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const uint64_t blockEnd = m_nBlockStart + m_nBlockLength;
        if (m_nPosition >= m_nBlockStart && m_nPosition < blockEnd) {
            const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(count - done, blockEnd - m_nPosition));
            std::memcpy(out + done, m_block.data() + static_cast<size_t>(m_nPosition - m_nBlockStart), take);
            done += take;
            m_nPosition += take;
            continue;
        }
        SyncPosition();
        const uint32_t wanted = count - done;
        if (wanted >= m_block.size()) {
            const uint32_t got = CFile::Read(out + done, wanted);
            done += got;
            m_nPosition += got;
            m_nBlockStart = m_nPosition;
            break;
        }
        m_nBlockLength = CFile::Read(m_block.data(), static_cast<uint32_t>(m_block.size()));
        if (m_nBlockLength == 0)
            break;   // end of file
    }
    return done;
}

void CReadAheadFile::Write(const void* buffer, uint32_t count)
{
    ThrowIfClosed();
    SyncPosition();
    CFile::Write(buffer, count);
    m_nPosition += count;
    m_nBlockStart = m_nPosition;
}

uint64_t CReadAheadFile::SeekWithin(int64_t offset, unsigned from, uint64_t last)
{
    if (m_nBlockLength == 0)
        ThrowIfClosed();
    uint64_t base = m_nPosition;
    if (from == end)
        base = GetLength64();
    else if (from == begin)
        base = 0;
    else if (from != current)
        ThrowFileException(CFileException::badSeek);
    m_nPosition = CheckedPosition(base, offset, last);
    return m_nPosition;
}

void CReadAheadFile::Close()
{
    m_nBlockLength = 0;
    CFile::Close();
}
