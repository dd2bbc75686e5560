#include "ClipRequest.h"

#include "ClipNumber.h"
#include "ClipTexts.h"
#include "DiscOption.h"
#include "FileException.h"
#include "LoadedArchive.h"
#include "Reporting.h"
#include "Usage.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

void AddClipRequestOptions(CLI::App& command, ClipRequest& request)
{
    command.add_option("ARCHIVE", request.archive, "The disc archive (.pak).")->required();
    command.add_option("NUMBER", request.number, "The clip's number in the list (from 1).")
        ->required()
        ->transform(ClipNumberValidator());
    command.add_flag("--lo", request.lowResolution, "The low-resolution (320x224) encoding.");
    AddDiscOption(command);
}

bool LocateClip(const ClipRequest& request, ClipLocation& location)
{
    LoadedArchive archive;
    if (!LoadArchive(request.archive, archive)) {
        ReportRejectedArchive(archive);
        return false;
    }
    const uint32_t count = archive.clips->nCount;
    // A number the archive lacks is a usage error, as in extract's selections.
    if (request.number < 1 || static_cast<uint32_t>(request.number) > count)
        throw UsageError(request.archive + ": " + NoSuchClipText(request.number, count));
    const uint32_t index = static_cast<uint32_t>(request.number - 1);
    const ClipSpan span = GetClipSpan(archive.clips->aRecords[index],
                                      request.lowResolution ? Resolution::Low : Resolution::High);
    location.start = span.offset;
    location.end = ClipSpanEnd(span);
    // A player would get a clip that stops short; it is refused here as extract refuses it.
    if (location.end > archive.file.GetLength()) {
        ReportFailure(request.archive, "clip " + std::to_string(request.number) +
                                           " runs past the end of the archive (the copy is cut short)");
        return false;
    }
    location.title = FormatClipLabel(archive.identity.disc, index);

    char resolved[PATH_MAX];
    if (!::realpath(request.archive.c_str(), resolved)) {
        const int error = errno;
        throw CFileException(CFileException::OsErrorToCause(error), error, request.archive);
    }
    location.archivePath = resolved;
    return true;
}
