#include "cli/Archive.h"

#include "catalogue/ArchiveSalvage.h"
#include "cli/Reporting.h"

std::string RefusalText(const ScanRejection& rejection)
{
    std::string text = WithoutFullStop(INVALID_MOVIE_FILE);
    if (!rejection.text.empty())
        text += " (" + rejection.text + ")";
    return text;
}

std::string SalvageText(const LoadedArchive& archive)
{
    const uint32_t clips = archive.salvaged ? archive.clips->nCount : 0;
    std::string text = (clips == 0 ? std::string("no clips") : Counted(clips, "clip", "clips")) +
                       " salvaged from before the fault";
    if (!archive.unsaved.empty())
        text += "; left out " + FindingsText(archive.unsaved);
    return text;
}

bool LoadArchive(const std::string& path, RunState& run, LoadedArchive& archive)
{
    archive.path = path;
    CFileException failure;
    if (!archive.file.OpenRegularFile(path.c_str(), &failure))
        throw failure;
    archive.identity = archive.file.GetIdentity();
    run.report.Protect(archive.identity);
    archive.title = archive.file.GetFileName();
    archive.length = archive.file.GetLength();

    const std::string identifying = run.discTitle.empty() ? archive.title : run.discTitle;
    const bool publisher = IsPublisherArchive(identifying.c_str());
    ClipTable& clips = *archive.clips;
    const ScanResult result = ScanArchive(archive.file, archive.length, publisher, clips, nullptr, &archive.rejection);
    if (run.salvage) {
        const ArchiveSalvage salvage = SalvageArchive(archive.file, archive.length, result, archive.rejection, clips);
        if (salvage.damaged) {
            archive.rejection = salvage.fault;
            archive.unsaved = salvage.unsaved;
            archive.salvaged = salvage.clips > 0;
            clips.nCount = archive.salvaged ? salvage.clips : salvage.before;
            if (!archive.salvaged)
                return false;
        }
    } else if (result != ScanResult::Accepted) {
        return false;
    }
    archive.disc = IdentifyDisc(identifying.c_str());
    return true;
}

void LoadAcceptedArchive(const std::string& path, RunState& run, LoadedArchive& archive)
{
    if (LoadArchive(path, run, archive)) {
        if (archive.salvaged) {
            run.report.Error(path, RefusalText(archive.rejection));
            run.report.Error(path, SalvageText(archive));
        }
        return;
    }
    // Clips read before the fault that the checks refuse: said, as none is salvaged.
    if (!archive.unsaved.empty()) {
        run.report.Error(path, RefusalText(archive.rejection));
        throw CFailure(path, SalvageText(archive));
    }
    throw CFailure(path, RefusalText(archive.rejection));
}
