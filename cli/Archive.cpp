#include "cli/Archive.h"

#include "cli/Reporting.h"

std::string RefusalText(const ScanRejection& rejection)
{
    std::string text = WithoutFullStop(INVALID_MOVIE_FILE);
    if (!rejection.text.empty())
        text += " (" + rejection.text + ")";
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
    if (ScanArchive(archive.file, archive.length, publisher, *archive.clips, nullptr, &archive.rejection) !=
        ScanResult::Accepted)
        return false;
    archive.disc = IdentifyDisc(identifying.c_str());
    return true;
}

void LoadAcceptedArchive(const std::string& path, RunState& run, LoadedArchive& archive)
{
    if (!LoadArchive(path, run, archive))
        throw CFailure(path, RefusalText(archive.rejection));
}
