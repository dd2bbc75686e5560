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
                const std::string& detail, size_t skipped)
{
    const std::string kept = skipped > 0 ? ", " + std::to_string(skipped) + " skipped" : std::string();
    const size_t written = files - failed - skipped;
    if ((files > 1 || skipped > 0) && failed == 0 && !quiet)
        run.report.Note(Counted(written, "file", "files") + " " + verb +
                        (detail.empty() || written == 0 ? "" : " (" + detail + ")") + kept);
    else if (files > 1 && failed > 0)
        run.report.Note(std::to_string(written) + " of " + std::to_string(files) + " files " + verb + ", " +
                        std::to_string(failed) + " failed" + kept);
    return failed > 0 ? EXIT_FAILED : EXIT_OK;
}
