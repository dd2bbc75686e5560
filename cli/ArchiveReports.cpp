#include "cli/ArchiveReports.h"

#include "catalogue/ClipChecks.h"
#include "catalogue/ClipTitles.h"
#include "cli/Archive.h"
#include "cli/Reporting.h"

void ArchiveReports::Print(Reporter& report) const
{
    report.Print(m_json ? JsonDocument({{"format", JSON_FORMAT}, {"archives", m_entries}}) : m_text);
}

void NoteDiscByClipCount(const LoadedArchive& archive, const RunState& run)
{
    const uint32_t count = archive.clips->nCount;
    const bool unknown = run.discTitle.empty() && archive.disc.disc == DISC_NONE &&
                         !IsPublisherArchive(archive.title.c_str());
    // A salvage's count is only that of the clips before the damage.
    if (!unknown || count == 0 || archive.salvaged)
        return;
    for (DiscId disc = 0; disc < CLIP_TITLE_ROWS; ++disc) {
        if (KnownClipCount(disc) != count)
            continue;
        const std::string number = std::to_string(disc + 1);
        const DiscIdentity known = IdentifyDisc(("disc" + number + ".pak").c_str());
        run.report.Error(archive.path, "its name is no disc's, but its " + std::to_string(count) + " clips match " +
                                           known.label + "'s; try --disc " + number);
        return;
    }
}
