#include "catalogue/ArchiveScanner.h"

#include "file/File.h"

#include <algorithm>
#include <cstdint>
#include <string>
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
// No header lies beyond an archive's reach; the margin covers the seek to the
// KVP value.
constexpr uint32_t LAST_GROUP_POSITION = MOST_ARCHIVE_BYTES - KVP_HEADER_SIZE;

// Fillers read at once at most: 88 KiB, more than a read-ahead block.
constexpr uint32_t MAX_FILLER_BATCH = 2048;

uint32_t LittleEndian32(const unsigned char* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

std::string Decimal(uint32_t value)
{
    return std::to_string(value);
}

const char* const HI_VIDEO = "the high-resolution video";
const char* const LO_VIDEO = "the low-resolution video";

// One walk over an archive. A short read means the archive ends inside a header:
// a broken archive, not the end of the list. Each refusal goes through Reject,
// which says why when the caller asked.
class Scan {
public:
    Scan(CFile& archive, uint32_t length, ScanRejection* rejection)
        : m_archive(archive), m_length(length), m_rejection(rejection)
    {
    }

    void BeginClip(uint32_t number) { m_clip = number; }

    // Fewer than four bytes left at pos: no tag there, and nothing is read. This
    // also keeps every seek inside the file and inside the signed 32-bit range.
    bool HasGroupAt(uint32_t pos) const
    {
        return pos <= LAST_GROUP_POSITION && pos <= m_length && m_length - pos >= GROUP_SIZE;
    }

    // False when no whole group can be read at pos.
    bool GroupAt(uint32_t pos, uint32_t& group)
    {
        if (!HasGroupAt(pos))
            return false;
        m_archive.Seek(static_cast<int32_t>(pos), CFile::begin);
        return ReadU32(group);
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
    bool ReadBinkLength(uint32_t start, const char* video, uint32_t& whole)
    {
        uint32_t field = 0;
        if (!ReadU32(field))
            return Reject(start, EndsInside(start, std::string(video) + "'s header"));
        if (field > UINT32_MAX - BINK_UNCOUNTED || field + BINK_UNCOUNTED > UINT32_MAX - start) {
            return Reject(start + 4, std::string(video) + "'s size, " + Decimal(field) + " at offset " +
                                         Decimal(start + 4) + ", runs past 4 GiB");
        }
        whole = field + BINK_UNCOUNTED;
        return true;
    }

    bool SkipKvpHeader(uint32_t& cursor)
    {
        uint32_t group = 0;
        if (!GroupAt(cursor, group))
            return Reject(cursor, EndsInside(cursor, "the KVP header"));
        if ((group & TAG_MASK) != TAG_KVP) {
            return Reject(cursor, "no KVP header at offset " + Decimal(cursor) +
                                      (m_clip > 1 ? ", where clip " + Decimal(m_clip - 1) + " ends" : ""));
        }
        // The 16-bit value at offset 6 is read but not used: the frame count
        // always comes from the Bink file.
        m_archive.Seek(2, CFile::current);
        unsigned char unused[2];
        if (m_archive.Read(unused, sizeof unused) != sizeof unused)
            return Reject(cursor, EndsInside(cursor, "the KVP header"));
        cursor += KVP_HEADER_SIZE;   // cursor < 2 GiB here: no wrap
        return true;
    }

    // Steps over 44-byte filler blocks to the first "BIK" tag; the file is left
    // just past that tag. Most clips have one filler or none, so the first group
    // is read alone; along a longer run the fillers are read in batches that
    // double up to a size the read-ahead file passes straight to the system, so
    // that a run of millions costs a few thousand reads.
    bool SkipFillers(uint32_t& cursor)
    {
        const uint32_t start = cursor;
        uint32_t batch = 1;
        for (;;) {
            if (!HasGroupAt(cursor))
                return NoBinkTagAfter(start, cursor);
            m_archive.Seek(static_cast<int32_t>(cursor), CFile::begin);
            const uint32_t wanted = batch == 1 ? GROUP_SIZE : batch * FILLER_SIZE;
            if (m_run.size() < wanted)
                m_run.resize(wanted);
            const uint32_t got = m_archive.Read(m_run.data(), wanted);
            for (uint32_t offset = 0; offset < wanted; offset += FILLER_SIZE) {
                if (offset > 0 && !HasGroupAt(cursor))
                    return NoBinkTagAfter(start, cursor);
                if (got < GROUP_SIZE || offset > got - GROUP_SIZE)
                    return NoBinkTagAfter(start, cursor);   // the archive ends inside the group
                if ((LittleEndian32(&m_run[offset]) & TAG_MASK) == TAG_BIK) {
                    if (wanted > GROUP_SIZE)
                        m_archive.Seek(static_cast<int32_t>(cursor + GROUP_SIZE), CFile::begin);
                    return true;
                }
                cursor += FILLER_SIZE;   // HasGroupAt kept cursor below 2 GiB: no wrap
            }
            batch = std::min(batch * 2, MAX_FILLER_BATCH);
        }
    }

    bool ReadClip(uint32_t& cursor, ClipRecord& clip)
    {
        clip.dwHiOffset = cursor;
        if (!ReadBinkLength(cursor, HI_VIDEO, clip.dwHiSize))
            return false;
        if (!ReadU32(clip.dwFrames))
            return Reject(cursor, EndsInside(cursor, std::string(HI_VIDEO) + "'s header"));
        cursor += clip.dwHiSize;

        // No filler is allowed between the two encodings of a clip.
        if (!LowResolutionTagAt(cursor))
            return false;
        clip.dwLoOffset = cursor;
        if (!ReadBinkLength(cursor, LO_VIDEO, clip.dwLoSize))
            return false;
        cursor += clip.dwLoSize;
        return true;
    }

    bool Reject(uint32_t offset, const std::string& words)
    {
        if (m_rejection != nullptr) {
            m_rejection->clip = m_clip;
            m_rejection->offset = offset;
            m_rejection->text = "clip " + Decimal(m_clip) + ": " + words;
        }
        return false;
    }

private:
    // Why no whole group could be read at pos, which lies before the end.
    std::string EndsInside(uint32_t pos, const std::string& what) const
    {
        if (pos > LAST_GROUP_POSITION)
            return what + " at offset " + Decimal(pos) + " lies beyond 2 GiB, out of the format's reach";
        return "the archive ends inside " + what + " at offset " + Decimal(pos);
    }

    bool NoBinkTagAfter(uint32_t start, uint32_t pos)
    {
        const std::string limit =
            pos > LAST_GROUP_POSITION && pos < m_length ? "2 GiB, the format's reach" : "the end of the archive";
        return Reject(start, "no BIK tag for " + std::string(HI_VIDEO) + " between offset " + Decimal(start) +
                                 " and " + limit);
    }

    // The high-resolution video's size field says where the low-resolution one begins.
    bool LowResolutionTagAt(uint32_t pos)
    {
        if (pos > m_length) {
            return Reject(pos, std::string(HI_VIDEO) + "'s size runs " + Decimal(pos - m_length) +
                                   " bytes past the end of the archive");
        }
        if (pos == m_length) {
            return Reject(pos, "the archive ends right after " + std::string(HI_VIDEO) +
                                   ", at offset " + Decimal(pos) + ": " + LO_VIDEO + " is missing");
        }
        uint32_t group = 0;
        if (!GroupAt(pos, group))
            return Reject(pos, EndsInside(pos, std::string(LO_VIDEO) + "'s BIK tag"));
        if ((group & TAG_MASK) != TAG_BIK) {
            return Reject(pos, "no BIK tag at offset " + Decimal(pos) + ", where " + HI_VIDEO +
                                   "'s size says " + LO_VIDEO + " begins");
        }
        return true;
    }

    CFile& m_archive;
    const uint32_t m_length;
    ScanRejection* const m_rejection;
    uint32_t m_clip = 1;
    std::vector<unsigned char> m_run;   // a batch of fillers
};

} // namespace

ScanResult ScanArchive(CFile& archive, uint32_t length, bool publisher, ClipTable& table,
                       const ScanProgress& progress)
{
    return ScanArchive(archive, length, publisher, table, progress, nullptr);
}

ScanResult ScanArchive(CFile& archive, uint32_t length, bool publisher, ClipTable& table,
                       const ScanProgress& progress, ScanRejection* rejection)
{
    table.nCount = 0;
    Scan scan(archive, length, rejection);
    uint32_t cursor = 0;
    while (cursor < length) {
        scan.BeginClip(table.nCount + 1);
        if (!publisher && !scan.SkipKvpHeader(cursor))
            return ScanResult::Rejected;
        if (!scan.SkipFillers(cursor))
            return ScanResult::Rejected;
        // No slot left for this clip: refusing the archive beats listing part of it.
        if (table.nCount >= MAX_CLIPS) {
            scan.Reject(cursor, "more than " + Decimal(MAX_CLIPS) + " clips, the most an archive holds");
            return ScanResult::Rejected;
        }
        ClipRecord clip{};
        if (!scan.ReadClip(cursor, clip))
            return ScanResult::Rejected;
        table.aRecords[table.nCount++] = clip;
        if (progress)
            progress(cursor);
    }
    return ScanResult::Accepted;
}
