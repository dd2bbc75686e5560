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

std::string Counted(uint32_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string NoSuchClipText(int number, uint32_t count)
{
    return "no clip " + std::to_string(number) + " (the archive holds " + Counted(count, "clip", "clips") + ")";
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
