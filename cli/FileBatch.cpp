#include "cli/FileBatch.h"

#include "cli/Archive.h"
#include "cli/ExitStatus.h"
#include "cli/Reporting.h"
#include "file/InterruptCleanup.h"
#include "file/PathNames.h"

ExtractPlan LoadAndPlan(const ExtractRequest& request, RunState& run, LoadedArchive& archive,
                        const char* extension, std::vector<std::string>& madeFolders)
{
    InstallInterruptCleanup();
    if (request.quiet)
        run.report.Quiet();
    LoadAcceptedArchive(request.archive, run, archive);
    if (archive.clips->nCount == 0)
        throw CFailure(request.archive, "the archive holds no clips");
    const bool outputIsFolder = !request.output.empty() && IsFolder(request.output);
    ExtractPlan plan = PlanExtract(request, archive.clips->nCount, archive.disc.disc, archive.title, outputIsFolder,
                                   extension);
    if (!plan.folder.empty())
        madeFolders = MakeFolders(plan.folder);
    return plan;
}

int FinishFiles(RunState& run, size_t files, size_t failed, bool quiet, const std::string& verb,
                const std::string& detail)
{
    if (files > 1 && failed == 0 && !quiet)
        run.report.Note(Counted(files, "file", "files") + " " + verb + (detail.empty() ? "" : " (" + detail + ")"));
    else if (files > 1 && failed > 0)
        run.report.Note(std::to_string(files - failed) + " of " + std::to_string(files) + " files " + verb + ", " +
                        std::to_string(failed) + " failed");
    return failed > 0 ? EXIT_FAILED : EXIT_OK;
}
