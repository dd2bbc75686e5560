#include "output/ArchiveWriter.h"

#include "catalogue/ArchiveScanner.h"
#include "file/File.h"
#include "file/FileException.h"
#include "output/ClipCopy.h"

namespace {

constexpr uint32_t HEADER_BYTES = 8;
constexpr uint32_t HEADER_FRAMES_AT = 6;

class Planner {
public:
    explicit Planner(ArchivePlan& plan) : m_plan(plan) {}

    void Copy(CFile& source, uint32_t offset, uint32_t size)
    {
        if (size > 0)
            Add({&source, offset, size, {}});
    }

    void Put(std::vector<uint8_t> bytes)
    {
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        Add({nullptr, 0, size, std::move(bytes)});
    }

    // Both files of clip, and the record the scan will make of them.
    void PutClip(const NewClip& clip)
    {
        const ClipRecord record{Offset(), clip.hiSize, Offset() + clip.hiSize, clip.loSize, clip.hiFrames};
        Copy(*clip.hi, 0, clip.hiSize);
        Copy(*clip.lo, 0, clip.loSize);
        m_plan.clips.push_back(record);
    }

    // Refused past the scan's reach, before it could wrap a 32-bit offset.
    void Finish(const std::string& output) const
    {
        if (m_plan.size > MOST_ARCHIVE_BYTES) {
            throw CFailure(output, "the new archive would be " + std::to_string(m_plan.size) +
                                       " bytes, past 2 GiB, the most an archive holds");
        }
    }

    uint32_t Offset() const { return static_cast<uint32_t>(m_plan.size); }
    bool TooLarge() const { return m_plan.size > MOST_ARCHIVE_BYTES; }

private:
    void Add(ArchivePiece piece)
    {
        m_plan.size += piece.size;
        m_plan.pieces.push_back(std::move(piece));
    }

    ArchivePlan& m_plan;
};

std::vector<uint8_t> HeaderField(const NewClip& clip)
{
    if (clip.hiFrames > MOST_HEADER_FRAMES) {
        throw CFailure(clip.hiName, "has " + std::to_string(clip.hiFrames) + " frames; a clip header holds " +
                                        std::to_string(MOST_HEADER_FRAMES) + " at most");
    }
    return {static_cast<uint8_t>(clip.hiFrames), static_cast<uint8_t>(clip.hiFrames >> 8)};
}

uint32_t ClipEnd(const ClipRecord& record)
{
    return record.dwLoOffset + record.dwLoSize;
}

} // namespace

ArchivePlan PlanReplace(CFile& archive, uint32_t length, bool publisher, const ClipTable& table, uint32_t index,
                        const NewClip& clip, const std::string& output)
{
    ArchivePlan plan;
    Planner planner(plan);
    const ClipRecord& old = table.aRecords[index];
    // A clip entry begins where the one before it ends.
    const uint32_t entry = index == 0 ? 0 : ClipEnd(table.aRecords[index - 1]);
    if (publisher) {
        planner.Copy(archive, 0, old.dwHiOffset);
    } else {
        const std::vector<uint8_t> field = HeaderField(clip);
        planner.Copy(archive, 0, entry + HEADER_FRAMES_AT);
        planner.Put(field);
        planner.Copy(archive, entry + HEADER_BYTES, old.dwHiOffset - entry - HEADER_BYTES);
    }
    planner.PutClip(clip);
    const uint32_t rest = ClipEnd(old);
    if (rest < length)
        planner.Copy(archive, rest, length - rest);
    planner.Finish(output);

    // The clips before keep their places; those after move with the change in size.
    std::vector<ClipRecord> clips(table.aRecords, table.aRecords + table.nCount);
    clips[index] = plan.clips.front();
    const uint32_t newEnd = ClipEnd(clips[index]);
    for (uint32_t i = index + 1; i < table.nCount; ++i) {
        clips[i].dwHiOffset = clips[i].dwHiOffset - rest + newEnd;
        clips[i].dwLoOffset = clips[i].dwLoOffset - rest + newEnd;
    }
    plan.clips = clips;
    return plan;
}

ArchivePlan PlanPack(const std::vector<NewClip>& clips, bool publisher, const std::string& output)
{
    ArchivePlan plan;
    Planner planner(plan);
    for (const NewClip& clip : clips) {
        if (!publisher) {
            std::vector<uint8_t> header = {'K', 'V', 'P', 1, 0, 0};
            const std::vector<uint8_t> field = HeaderField(clip);
            header.insert(header.end(), field.begin(), field.end());
            planner.Put(header);
        }
        planner.PutClip(clip);
        if (planner.TooLarge())
            break;   // said by Finish; the offsets past here would not fit
    }
    planner.Finish(output);
    return plan;
}

void WriteArchive(const ArchivePlan& plan, CFile& target, const WriteProgress& progress)
{
    uint64_t before = 0;
    for (const ArchivePiece& piece : plan.pieces) {
        if (piece.source) {
            CopyClipBytes(*piece.source, piece.offset, piece.size, target, [&](uint32_t copied) {
                if (progress)
                    progress(before + copied);
            });
        } else {
            target.Write(piece.bytes.data(), piece.size);
            if (progress)
                progress(before + piece.size);
        }
        before += piece.size;
    }
}
