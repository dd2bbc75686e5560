#include "ArchiveScanner.h"

#include "File.h"

#include <algorithm>
#include <cstdint>
#include <vector>

const char* const INVALID_MOVIE_FILE = "Invalid movie file.";

namespace {

constexpr uint32_t TAG_KVP = 'K' | ('V' << 8) | ('P' << 16);
constexpr uint32_t TAG_BIK = 'B' | ('I' << 8) | ('K' << 16);
constexpr uint32_t TAG_MASK = 0x00FFFFFF;   // the fourth byte of a tag group is not examined

constexpr uint32_t KVP_HEADER_SIZE = 8;
constexpr uint32_t FILLER_SIZE = 44;
constexpr uint32_t GROUP_SIZE = 4;
// A Bink file's size field leaves out the tag group and the field itself.
constexpr uint32_t BINK_UNCOUNTED = 8;
// The file is positioned with signed 32-bit offsets, so archives end below 2 GiB
// and no header lies further out. The margin covers the seek to the KVP value.
constexpr uint32_t LAST_GROUP_POSITION = INT32_MAX - KVP_HEADER_SIZE;

// Fillers read at once at most: 88 KiB, more than a read-ahead block.
constexpr uint32_t MAX_FILLER_BATCH = 2048;

uint32_t LittleEndian32(const unsigned char* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// One walk over an archive. A short read means the archive ends inside a header:
// a broken archive, not the end of the list.
class Scan {
public:
    Scan(CFile& archive, uint32_t length) : m_archive(archive), m_length(length) {}

    // Fewer than four bytes left at pos: no tag there, and nothing is read. This
    // also keeps every seek inside the file and inside the signed 32-bit range.
    bool HasGroupAt(uint32_t pos) const
    {
        return pos <= LAST_GROUP_POSITION && pos <= m_length && m_length - pos >= GROUP_SIZE;
    }

    bool TagAt(uint32_t pos, uint32_t tag)
    {
        if (!HasGroupAt(pos))
            return false;
        m_archive.Seek(static_cast<int32_t>(pos), CFile::begin);
        uint32_t group = 0;
        return ReadU32(group) && (group & TAG_MASK) == tag;
    }

    bool ReadU32(uint32_t& value)
    {
        unsigned char bytes[4];
        if (m_archive.Read(bytes, sizeof bytes) != sizeof bytes)
            return false;
        value = LittleEndian32(bytes);
        return true;
    }

    // A Bink file's whole length from its size field, refused when it or the
    // file's end would not fit in 32 bits.
    bool ReadBinkLength(uint32_t start, uint32_t& whole)
    {
        uint32_t field = 0;
        if (!ReadU32(field) || field > UINT32_MAX - BINK_UNCOUNTED)
            return false;
        whole = field + BINK_UNCOUNTED;
        return whole <= UINT32_MAX - start;
    }

    bool SkipKvpHeader(uint32_t& cursor)
    {
        if (!TagAt(cursor, TAG_KVP))
            return false;
        // The 16-bit value at offset 6 is read but not used: the frame count
        // always comes from the Bink file.
        m_archive.Seek(2, CFile::current);
        unsigned char unused[2];
        m_archive.Read(unused, sizeof unused);
        if (cursor > UINT32_MAX - KVP_HEADER_SIZE)
            return false;
        cursor += KVP_HEADER_SIZE;
        return true;
    }

    // Steps over 44-byte filler blocks to the first "BIK" tag; the file is left
    // just past that tag. Most clips have one filler or none, so the first group
    // is read alone; along a longer run the fillers are read in batches that
    // double up to a size the read-ahead file passes straight to the system, so
    // that a run of millions costs a few thousand reads.
    bool SkipFillers(uint32_t& cursor)
    {
        uint32_t batch = 1;
        for (;;) {
            if (!HasGroupAt(cursor))
                return false;
            m_archive.Seek(static_cast<int32_t>(cursor), CFile::begin);
            const uint32_t wanted = batch == 1 ? GROUP_SIZE : batch * FILLER_SIZE;
            if (m_run.size() < wanted)
                m_run.resize(wanted);
            const uint32_t got = m_archive.Read(m_run.data(), wanted);
            for (uint32_t offset = 0; offset < wanted; offset += FILLER_SIZE) {
                if (offset > 0 && !HasGroupAt(cursor))
                    return false;
                if (got < GROUP_SIZE || offset > got - GROUP_SIZE)
                    return false;   // the archive ends inside the group
                if ((LittleEndian32(&m_run[offset]) & TAG_MASK) == TAG_BIK) {
                    if (wanted > GROUP_SIZE)
                        m_archive.Seek(static_cast<int32_t>(cursor + GROUP_SIZE), CFile::begin);
                    return true;
                }
                if (cursor > UINT32_MAX - FILLER_SIZE)
                    return false;
                cursor += FILLER_SIZE;
            }
            batch = std::min(batch * 2, MAX_FILLER_BATCH);
        }
    }

    bool ReadClip(uint32_t& cursor, ClipRecord& clip)
    {
        clip.dwHiOffset = cursor;
        if (!ReadBinkLength(cursor, clip.dwHiSize) || !ReadU32(clip.dwFrames))
            return false;
        cursor += clip.dwHiSize;

        // No filler is allowed between the two encodings of a clip.
        if (!TagAt(cursor, TAG_BIK))
            return false;
        clip.dwLoOffset = cursor;
        if (!ReadBinkLength(cursor, clip.dwLoSize))
            return false;
        cursor += clip.dwLoSize;
        return true;
    }

private:
    CFile& m_archive;
    const uint32_t m_length;
    std::vector<unsigned char> m_run;   // a batch of fillers
};

} // namespace

ScanResult ScanArchive(CFile& archive, uint32_t length, bool publisher, ClipTable& table,
                       const ScanProgress& progress)
{
    table.nCount = 0;
    Scan scan(archive, length);
    uint32_t cursor = 0;
    while (cursor < length) {
        if (!publisher && !scan.SkipKvpHeader(cursor))
            return ScanResult::Rejected;
        if (!scan.SkipFillers(cursor))
            return ScanResult::Rejected;
        // No slot left for this clip: refusing the archive beats listing part of it.
        if (table.nCount >= MAX_CLIPS)
            return ScanResult::Rejected;
        ClipRecord clip{};
        if (!scan.ReadClip(cursor, clip))
            return ScanResult::Rejected;
        table.aRecords[table.nCount++] = clip;
        if (progress)
            progress(cursor);
    }
    return ScanResult::Accepted;
}
