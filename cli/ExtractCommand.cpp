#include "ExtractCommand.h"

#include "BatchClipNames.h"
#include "ClipTexts.h"
#include "ExitStatus.h"
#include "InterruptCleanup.h"
#include "LoadedArchive.h"
#include "OutputTarget.h"
#include "PathNames.h"
#include "Reporting.h"
#include "TerminalProgress.h"
#include "Usage.h"
#include "ViewerNames.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char STANDARD_OUTPUT_NAME[] = "standard output";

struct ClipFile {
    int index;
    Resolution resolution;
    std::string path;
};

bool IsFolder(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes folder and any missing folder above it; throws CFileException naming it.
void MakeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            throw CFileException(CFileException::OsErrorToCause(errno), errno, part);
        if (slash == std::string::npos)
            break;
    }
    if (!IsFolder(folder))
        throw CFileException(CFileException::accessDenied, ENOTDIR, folder);
}

// "zodovu-cli: FILE: reason"; when the error is about another file (the archive
// ending early), that file and its reason follow the output's name.
void ReportFileFailure(const std::string& path, const CException& error)
{
    const auto* fileError = dynamic_cast<const CFileException*>(&error);
    if (fileError && fileError->m_strFileName == path)
        ReportFailure(error);
    else
        ReportFailure(path, error.GetErrorMessage());
}

std::vector<int> AllClips(uint32_t count)
{
    std::vector<int> indices;
    for (uint32_t i = 0; i < count; ++i)
        indices.push_back(static_cast<int>(i));
    return indices;
}

// The files to write, in order: the selected clips' indices (usage errors throw),
// each in the chosen encodings. One clip keeps the viewer's name (or the one
// given); a batch, or a folder given as the output, names each file by the
// archive, the clip and its title, in that folder (made when missing).
std::vector<ClipFile> PlanFiles(const ExtractRequest& request, const LoadedArchive& archive)
{
    const uint32_t count = archive.clips->nCount;
    std::vector<int> indices = AllClips(count);
    int unknown = 0;
    if (!request.all && !SelectClips(request.selection, count, indices, unknown))
        throw UsageError(request.archive + ": " + NoSuchClipText(unknown, count));
    if (indices.empty())
        throw UsageError(request.archive + ": the archive holds no clips");

    std::vector<Resolution> resolutions{request.low ? Resolution::Low : Resolution::High};
    if (request.both)
        resolutions.push_back(Resolution::Low);
    const bool toStdout = request.output == STANDARD_OUTPUT;   // one file: the options made sure
    const bool batchNames = indices.size() * resolutions.size() > 1 ||
                            (!request.output.empty() && !toStdout &&
                             (request.output.back() == '/' || IsFolder(request.output)));
    std::string folder = batchNames ? request.output : std::string();
    if (!folder.empty()) {
        MakeFolders(folder);
        if (folder.back() != '/')
            folder += '/';
    }
    const std::string stem = ArchiveStem(archive.strTitle);

    std::vector<ClipFile> files;
    for (const int index : indices) {
        for (const Resolution resolution : resolutions) {
            std::string path = request.output.empty() ? ProposedClipName(index, resolution) : request.output;
            if (batchNames)
                path = folder + BatchClipName(stem, index, resolution, FormatClipLabel(archive.identity.disc, index));
            files.push_back({index, resolution, path});
        }
    }
    return files;
}

} // namespace

int RunExtract(const ExtractRequest& request)
{
    InstallInterruptCleanup();
    LoadedArchive archive;
    if (!LoadArchive(request.archive, archive))
        return ReportRejectedArchive(archive);

    const std::vector<ClipFile> files = PlanFiles(request, archive);
    const bool toStdout = request.output == STANDARD_OUTPUT;
    uint64_t total = 0;
    for (const ClipFile& file : files)
        total += GetClipSpan(archive.clips->aRecords[file.index], file.resolution).size;

    CTerminalProgress progress(total, !request.quiet);
    uint64_t before = 0;
    size_t failed = 0;
    for (const ClipFile& file : files) {
        const ClipSpan span = GetClipSpan(archive.clips->aRecords[file.index], file.resolution);
        progress.SetName(toStdout ? std::string("to ") + STANDARD_OUTPUT_NAME : NameOf(file.path));
        const CopyProgress report = [&](uint32_t copied) { progress.Report(before + copied); };
        try {
            if (toStdout)
                WriteClipStream(archive.file, archive.fileInfo, span, STDOUT_FILENO, STANDARD_OUTPUT_NAME, report);
            else
                WriteClipFile(archive.file, archive.fileInfo, span, file.path, request.force, report);
            if (request.verbose)
                std::cout << file.path << '\n';
        } catch (const OutputRefused& refusal) {
            progress.BreakLine();
            ReportFailure(refusal.path, refusal.what());
            ++failed;
        } catch (const CException& error) {
            progress.BreakLine();
            ReportFileFailure(toStdout ? STANDARD_OUTPUT_NAME : file.path, error);
            ++failed;
        }
        before += span.size;
    }
    progress.BreakLine();

    if (files.size() > 1 && (failed > 0 || !request.quiet)) {
        if (failed == 0)
            std::fprintf(stderr, "zodovu-cli: %zu files extracted (%.1fM)\n", files.size(), total / 1048576.0);
        else
            std::fprintf(stderr, "zodovu-cli: %zu of %zu files extracted, %zu failed\n", files.size() - failed,
                         files.size(), failed);
    }
    return failed > 0 ? EXIT_FAILED : EXIT_OK;
}
