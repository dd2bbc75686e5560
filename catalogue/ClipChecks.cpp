#include "catalogue/ClipChecks.h"

#include "catalogue/BinkHeader.h"
#include "catalogue/ClipTitles.h"

namespace {

struct Encoding {
    const char* name;
    ClipSpan span;
    uint32_t width;
    uint32_t height;
};

std::string Decimal(uint64_t value)
{
    return std::to_string(value);
}

class ClipCheck {
public:
    ClipCheck(CFile& archive, uint32_t length, uint32_t number, std::vector<ClipFinding>& findings)
        : m_archive(archive), m_length(length), m_number(number), m_findings(findings)
    {
    }

    void Check(const Encoding& encoding, uint32_t recordFrames)
    {
        m_name = encoding.name;
        const ClipSpan span = encoding.span;
        const uint64_t end = ClipSpanEnd(span);
        const bool cut = end > m_length;
        if (cut)
            Add("'s size runs " + Decimal(end - m_length) + " bytes past the end of the archive");
        if (span.size < BINK_HEADER_BYTES) {
            Add("'s size, " + Decimal(span.size) + " bytes, leaves no room for its " +
                Decimal(BINK_HEADER_BYTES) + "-byte header");
            return;
        }
        BinkHeader header;
        if (!ReadBinkHeader(m_archive, m_length, span.offset, header)) {
            if (!cut)
                Add("'s header at offset " + Decimal(span.offset) + " cannot be read");
            return;
        }
        if (header.width != encoding.width || header.height != encoding.height) {
            Add("'s header gives " + Decimal(header.width) + "x" + Decimal(header.height) + ", not " +
                Decimal(encoding.width) + "x" + Decimal(encoding.height));
        }
        if (header.frames != recordFrames || header.framesAgain != recordFrames) {
            const std::string counts = header.frames == header.framesAgain
                                           ? Decimal(header.frames)
                                           : Decimal(header.frames) + " and " + Decimal(header.framesAgain);
            Add("'s header gives " + counts + " frames, the clip's record " + Decimal(recordFrames));
            return;   // where the frame index ends depends on which count is right
        }
        CheckFrameIndex(span, header, cut);
    }

private:
    // The size field gives the span; the frame index says where the frames end.
    void CheckFrameIndex(const ClipSpan& span, const BinkHeader& header, bool cut)
    {
        const uint64_t indexEnd = FrameIndexOffset(header) + 4ull * (static_cast<uint64_t>(header.frames) + 1);
        if (indexEnd > span.size) {
            Add("'s frame index of " + Decimal(header.frames) + " frames does not fit in its size of " +
                Decimal(span.size) + " bytes");
            return;
        }
        uint32_t framesEnd = 0;
        if (!ReadBinkFramesEnd(m_archive, m_length, span.offset, header, framesEnd)) {
            if (!cut)
                Add("'s frame index cannot be read");
            return;
        }
        // Bit 0 of an index entry marks a key frame, so the index cannot say
        // that a file ends on an odd byte: compare the size the same way.
        if (framesEnd != (span.size & ~1u)) {
            Add("'s size field gives " + Decimal(span.size) + " bytes, its frame index ends at byte " +
                Decimal(framesEnd));
        }
    }

    void Add(const std::string& words)
    {
        m_findings.push_back({m_number, "clip " + Decimal(m_number) + ": " + m_name + words});
    }

    CFile& m_archive;
    const uint32_t m_length;
    const uint32_t m_number;
    std::vector<ClipFinding>& m_findings;
    std::string m_name;
};

} // namespace

std::string FindingsText(const std::vector<ClipFinding>& findings)
{
    std::string text;
    for (const ClipFinding& finding : findings)
        text += (text.empty() ? "" : "; ") + finding.text;
    return text;
}

std::vector<ClipFinding> CheckEncoding(CFile& archive, uint32_t length, const ClipTable& table, uint32_t index,
                                       Resolution resolution)
{
    std::vector<ClipFinding> findings;
    const ClipRecord& record = table.aRecords[index];
    ClipCheck check(archive, length, index + 1, findings);
    if (resolution == Resolution::High)
        check.Check({"the high-resolution video", GetClipSpan(record, resolution), 640, 448}, record.dwFrames);
    else
        check.Check({"the low-resolution video", GetClipSpan(record, resolution), 320, 224}, record.dwFrames);
    return findings;
}

std::vector<ClipFinding> CheckClips(CFile& archive, uint32_t length, const ClipTable& table)
{
    std::vector<ClipFinding> findings;
    for (uint32_t i = 0; i < table.nCount && i < MAX_CLIPS; ++i) {
        for (const Resolution resolution : {Resolution::High, Resolution::Low}) {
            const std::vector<ClipFinding> found = CheckEncoding(archive, length, table, i, resolution);
            findings.insert(findings.end(), found.begin(), found.end());
        }
    }
    return findings;
}

uint32_t KnownClipCount(DiscId disc)
{
    if (disc >= CLIP_TITLE_ROWS)
        return 0;
    uint32_t count = 0;
    while (count < CLIP_TITLE_SLOTS && g_clipTitles[disc][count])
        ++count;
    return count;
}

std::vector<ClipFinding> CheckClipCount(const DiscIdentity& identity, uint32_t count)
{
    const uint32_t known = KnownClipCount(identity.disc);
    if (count == 0 && known == 0)
        return {{0, "holds no clips"}};
    if (known == 0 || count == known)
        return {};
    const std::string holds = count == 0 ? "holds no clips" : count == 1 ? "holds 1 clip" : "holds " + Decimal(count) + " clips";
    return {{0, holds + "; " + identity.label + " has " + Decimal(known)}};
}
