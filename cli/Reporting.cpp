#include "Reporting.h"

#include "ArchiveScanner.h"
#include "ExitStatus.h"
#include "FileException.h"

#include <cstdio>

int ReportFailure(const std::string& path, const std::string& text)
{
    std::fprintf(stderr, "zodovu-cli: %s: %s\n", path.c_str(), text.c_str());
    return EXIT_FAILED;
}

int ReportRejectedArchive(const std::string& archivePath)
{
    return ReportFailure(archivePath, INVALID_MOVIE_FILE);
}

int ReportFailure(const CException& error)
{
    std::fprintf(stderr, "zodovu-cli: %s\n", error.GetErrorMessage().c_str());
    return EXIT_FAILED;
}
