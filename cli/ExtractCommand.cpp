// Clips copied byte for byte out of the archive, each appearing only when it
// is whole and on the disk.
#include "cli/ExtractCommand.h"

#include "catalogue/ClipTexts.h"
#include "cli/Archive.h"
#include "cli/ExitStatus.h"
#include "cli/FileBatch.h"
#include "cli/Reporting.h"
#include "file/Console.h"
#include "file/InterruptCleanup.h"
#include "file/OutputFile.h"
#include "file/PathNames.h"
#include "output/ClipCopy.h"

#include <memory>
#include <vector>

namespace {

// Finished files wait in a group while the next ones are written. The group is
// then made durable together: one sync of the file system writes every file's
// bytes in one journal commit, where a flush a file costs a commit each; each
// file's own flush, now quick, still reports its errors before it takes its
// name; and the names are made durable by one sync of their folder.
constexpr size_t GROUP_FILES = 12;   // fewer than the temporary files an interrupt can remove
constexpr uint64_t GROUP_BYTES = 128 * uint64_t{MIB};

class Extraction {
public:
    Extraction(const ExtractRequest& request, RunState& run, LoadedArchive& archive, bool madeNames)
        : m_request(request), m_report(run.report), m_archive(archive)
    {
        m_rules.replace = request.force;
        m_rules.madeName = madeNames;
        m_rules.protectedFiles = {archive.identity};
        m_rules.protectedRole = "the archive";
    }

    // False when the file was already there and -n keeps it (skipped).
    bool Write(const PlannedFile& file, uint64_t before)
    {
        const bool toStandardOutput = file.path == TO_STANDARD_OUTPUT;
        const std::string name = toStandardOutput ? STANDARD_OUTPUT_NAME : file.path;
        const ClipSpan span = GetClipSpan(m_archive.clips->aRecords[file.index], file.resolution);
        m_report.Progress().SetName(toStandardOutput ? "to standard output" : NameOf(file.path));
        try {
            std::unique_ptr<COutputFile> output(toStandardOutput
                                                    ? new COutputFile(COutputFile::StandardOutput{}, m_rules)
                                                    : new COutputFile(file.path, m_rules));
            // A stream cannot take back what it was given: a clip that the archive
            // ends inside is refused before the first byte, with the copy's error.
            if (output->IsStream() && ClipSpanEnd(span) > m_archive.length)
                throw CFileException(CFileException::endOfFile, 0, m_archive.path);
            CopyClipBytes(m_archive.file, span.offset, span.size, output->File(),
                          [&](uint32_t copied) { m_report.Progress().Report(before + copied); });
            output->Finish();
            const bool stream = output->IsStream();   // closed at once
            m_pendingBytes += span.size;
            m_pending.push_back({std::move(output), file.path});
            if (stream || m_pending.size() >= GROUP_FILES || m_pendingBytes >= GROUP_BYTES)
                CommitGroup();
        } catch (const COutputExists& exists) {
            if (!m_request.noClobber)
                return Failed(exists, name);
            ++m_skipped;
            return false;
        } catch (const std::exception& error) {
            return Failed(error, name);
        }
        return true;
    }

    // Commits what waits; the count of files that failed.
    size_t Finish()
    {
        CommitGroup();
        return m_failed;
    }

    // Files kept under -n: there already, or appeared while they were written.
    size_t Skipped() const { return m_skipped; }

private:
    struct Pending {
        std::unique_ptr<COutputFile> output;
        std::string path;
    };

    bool Failed(const std::exception& error, const std::string& name)
    {
        m_report.Fail(error, name);
        ++m_failed;
        return true;   // not skipped
    }

    void CommitGroup()
    {
        for (Pending& pending : m_pending)
            if (!pending.output->IsStream()) {
                pending.output->SyncFileSystem();   // a batch's files share one file system
                break;
            }
        std::string lastCommitted;
        for (Pending& pending : m_pending)
            Commit(pending, lastCommitted);
        m_pending.clear();
        m_pendingBytes = 0;
        if (!lastCommitted.empty())
            SyncFolderOf(lastCommitted);   // and one folder
    }

    void Commit(Pending& pending, std::string& lastCommitted)
    {
        try {
            pending.output->Commit(false);
            if (!pending.output->IsStream())
                lastCommitted = pending.path;
            if (m_request.verbose)
                m_report.PrintName(pending.path);
        } catch (const COutputExists& exists) {
            if (!m_request.noClobber)
                Failed(exists, pending.output->Path());
            else
                ++m_skipped;
        } catch (const std::exception& error) {
            m_report.Fail(error, pending.output->Path());
            ++m_failed;
        }
    }

    const ExtractRequest& m_request;
    Reporter& m_report;
    LoadedArchive& m_archive;
    OutputRules m_rules;
    std::vector<Pending> m_pending;
    uint64_t m_pendingBytes = 0;
    size_t m_failed = 0;
    size_t m_skipped = 0;
};

} // namespace

int RunExtract(const ExtractRequest& request, RunState& run)
{
    LoadedArchive archive;
    std::vector<std::string> madeFolders;
    const ExtractPlan plan = LoadAndPlan(request, run, archive, ".bik", madeFolders);
    uint64_t total = 0;
    for (const PlannedFile& file : plan.files)
        total += GetClipSpan(archive.clips->aRecords[file.index], file.resolution).size;

    run.report.Progress().Start("Extracting", total);
    Extraction extraction(request, run, archive, plan.madeNames);
    uint64_t before = 0, kept = 0;
    for (const PlannedFile& file : plan.files) {
        const uint32_t size = GetClipSpan(archive.clips->aRecords[file.index], file.resolution).size;
        if (!extraction.Write(file, before))
            kept += size;
        before += size;
    }
    const size_t failed = extraction.Finish();
    RemoveEmptyFolders(madeFolders);   // only those that nothing was written into
    const int status = FinishFiles(run, plan.files.size(), failed, request.quiet, "extracted",
                                   FormatMebibytes(total - kept), extraction.Skipped());
    return archive.salvaged ? EXIT_FAILED : status;   // the archive is damaged, whatever its clips did
}
