#include "LoadedArchive.h"

#include "ArchiveScanner.h"

bool LoadArchive(const std::string& path, LoadedArchive& archive)
{
    archive.strPath = path;
    archive.strTitle = FileTitleOf(path.c_str());

    CFileException error;
    if (!archive.file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &error))
        throw error;

    const uint32_t length = archive.file.GetLength();
    const bool publisher = IsPublisherArchive(archive.strTitle.c_str());
    if (ScanArchive(archive.file, length, publisher, *archive.clips, nullptr) != ScanResult::Accepted)
        return false;

    archive.identity = IdentifyDisc(archive.strTitle.c_str());
    return true;
}
