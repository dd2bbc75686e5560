#include "ExtractCommand.h"

#include "AtomicOutput.h"
#include "ClipCopy.h"
#include "ExitStatus.h"
#include "LoadedArchive.h"
#include "Reporting.h"
#include "TerminalProgress.h"
#include "ViewerNames.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// The output path: the proposed name when none is given, or inside a folder given as the output.
std::string ResolveOutput(const ExtractRequest& request, int index, Resolution resolution)
{
    const std::string proposed = ProposedClipName(index, resolution);
    if (request.strOutput.empty())
        return proposed;
    struct stat info;
    if (::stat(request.strOutput.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::string folder = request.strOutput;
        if (folder.back() != '/')
            folder += '/';
        return folder + proposed;
    }
    return request.strOutput;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

int RunExtract(const ExtractRequest& request)
{
    LoadedArchive archive;
    if (!LoadArchive(request.strArchive, archive))
        return ReportRejectedArchive(archive);

    const uint32_t count = archive.clips->nCount;
    if (request.nNumber < 1 || static_cast<uint32_t>(request.nNumber) > count) {
        return ReportFailure(request.strArchive, "no clip " + std::to_string(request.nNumber) +
                                                     " (the archive holds " + std::to_string(count) +
                                                     (count == 1 ? " clip)" : " clips)"));
    }
    const int index = request.nNumber - 1;
    const Resolution resolution = request.bLowResolution ? Resolution::Low : Resolution::High;
    const ClipSpan span = GetClipSpan(archive.clips->aRecords[index], resolution);
    const std::string output = ResolveOutput(request, index, resolution);

    // The archive is never a target, whatever the spelling of the path and even
    // with --force: a hard link or a symbolic link to it is the same file.
    struct stat archiveInfo;
    struct stat outputInfo;
    if (::stat(request.strArchive.c_str(), &archiveInfo) != 0)
        return ReportFailure(request.strArchive, std::strerror(errno));
    if (::stat(output.c_str(), &outputInfo) == 0) {
        if (SameFile(archiveInfo, outputInfo))
            return ReportFailure(output, "is the archive itself; refusing to overwrite it");
        if (!request.bForce)
            return ReportFailure(output, "already exists (--force overwrites it)");
    }

    CAtomicOutput target(output);
    {
        CTerminalProgress progress(output, span.size);
        CopyClipBytes(archive.file, span.offset, span.size, target.File(),
                      [&](uint32_t copied) { progress.Report(copied); });
    }
    target.Commit(request.bForce);
    return EXIT_OK;
}
