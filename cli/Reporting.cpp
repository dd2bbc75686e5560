#include "Reporting.h"

#include "ExitStatus.h"
#include "FileException.h"
#include "LoadedArchive.h"

#include <cstdio>

int ReportFailure(const std::string& path, const std::string& text)
{
    std::fprintf(stderr, "zodovu-cli: %s: %s\n", path.c_str(), text.c_str());
    return EXIT_FAILED;
}

int ReportRejectedArchive(const LoadedArchive& archive)
{
    return ReportFailure(archive.strPath, RejectionText(archive));
}

std::string RejectionText(const LoadedArchive& archive)
{
    std::string text = INVALID_MOVIE_FILE;
    if (!archive.rejection.text.empty())
        text += " (" + archive.rejection.text + ")";
    return text;
}

int ReportFailure(const CException& error)
{
    std::fprintf(stderr, "zodovu-cli: %s\n", error.GetErrorMessage().c_str());
    return EXIT_FAILED;
}
