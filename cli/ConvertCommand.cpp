// Clips converted for any player. Workers decode and encode; the calling thread alone opens and commits the
// output files (the interrupt cleanup's record of temporary files is kept
// there, and signals are handled there), and alone reports.
#include "cli/ConvertCommand.h"

#include "catalogue/ClipChecks.h"
#include "cli/Archive.h"
#include "cli/ExitStatus.h"
#include "cli/FileBatch.h"
#include "cli/ParallelWork.h"
#include "cli/Reporting.h"
#include "file/Console.h"
#include "file/InterruptCleanup.h"
#include "file/OutputFile.h"
#include "file/PathNames.h"
#include "media/ClipConverter.h"
#include "media/MediaError.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

namespace {

struct Job {
    const PlannedFile* file = nullptr;
    size_t position = 0;          // in the files asked for
    std::string name;             // as messages name it
    uint32_t frames = 0;
    std::unique_ptr<COutputFile> output;
    std::atomic<uint32_t> framesDone{0};
    std::string concealed;        // what the conversion concealed
    bool finished = false;
};

class Converter {
public:
    Converter(LoadedArchive& archive, const ConvertRequest& settings, bool madeNames, RunState& run,
              ConvertExtras* extras)
        : m_archive(archive), m_settings(settings), m_report(run.report), m_extras(extras)
    {
        m_rules.replace = settings.force;
        m_rules.madeName = madeNames;
        m_rules.protectedRole = "the archive";
        m_rules.protectedFiles.push_back(archive.identity);
        if (extras)
            m_rules.protectedFiles.insert(m_rules.protectedFiles.end(), extras->protectedFiles.begin(),
                                          extras->protectedFiles.end());
        m_options.format = settings.format;
        m_options.crf = settings.crf;
        m_options.preset = settings.preset;
        m_options.conceal = settings.conceal;
    }

    ConvertCounts Run(const std::vector<PlannedFile>& files)
    {
        if (m_extras)
            m_extras->outcomes.assign(files.size(), FileOutcome());
        std::vector<std::unique_ptr<Job>> jobs;
        for (const PlannedFile& file : files) {
            auto job = std::make_unique<Job>();
            job->file = &file;
            job->position = static_cast<size_t>(&file - files.data());
            job->name = file.path == TO_STANDARD_OUTPUT ? STANDARD_OUTPUT_NAME : file.path;
            job->frames = m_archive.clips->aRecords[file.index].dwFrames;
            // A decoder must not see what the plain checks refuse.
            const std::vector<ClipFinding> findings =
                CheckEncoding(m_archive.file, m_archive.length, *m_archive.clips,
                              static_cast<uint32_t>(file.index), file.resolution);
            if (findings.empty()) {
                jobs.push_back(std::move(job));
                continue;
            }
            const std::string reason = FindingsText(findings);
            m_report.Error(job->name, reason);
            Failed(*job, reason);
        }
        if (jobs.empty())
            return m_counts;

        uint64_t totalFrames = 0;
        for (const auto& job : jobs)
            totalFrames += job->frames;
        ProgressLine& progress = m_report.Progress();
        progress.Start("Converting", totalFrames, false);
        progress.SetUnits("frames", "files", true);
        progress.SetName(files.size() == 1 && files[0].path != TO_STANDARD_OUTPUT ? NameOf(files[0].path)
                                                                                  : m_archive.title);

        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const unsigned wanted = m_settings.jobs ? m_settings.jobs : cores;
        const unsigned workers = static_cast<unsigned>(
            std::min<size_t>({wanted, jobs.size(), static_cast<size_t>(MOST_CONVERSIONS_AT_ONCE)}));
        // Twice the cores between the encoders, at least two each: an encoder's
        // threads wait on one another, and the decoder runs on the worker's own
        // (measured with bench_convert against one thread a core).
        m_options.threads = std::max(2u, 2 * cores / workers);

        ParallelSteps steps;
        steps.open = [&](size_t i) { return Open(*jobs[i]); };
        steps.work = [&](size_t i) { Convert(*jobs[i]); };
        steps.finish = [&](size_t i, std::exception_ptr failure) { Complete(*jobs[i], failure); };
        steps.progress = [&](size_t filesDone) {
            if (m_opened == 0)
                return;   // every output refused: no work to show, nor its end
            uint64_t frames = 0;
            for (const auto& job : jobs)
                frames += job->finished ? job->frames
                                        : std::min(job->framesDone.load(std::memory_order_relaxed), job->frames);
            progress.Report(frames, filesDone, jobs.size());
        };
        RunInParallel(jobs.size(), workers, steps);
        progress.Clear();
        if (!m_lastCommitted.empty())
            SyncFolderOf(m_lastCommitted);   // a batch's files share one folder
        return m_counts;
    }

private:
    // The output file, opened on this thread; false when it is refused (said).
    bool Open(Job& job)
    {
        try {
            job.output.reset(job.file->path == TO_STANDARD_OUTPUT
                                 ? new COutputFile(COutputFile::StandardOutput{}, m_rules)
                                 : new COutputFile(job.file->path, m_rules));
            ++m_opened;
            return true;
        } catch (const COutputExists& exists) {
            Exists(job, exists);
            job.finished = true;
            return false;
        } catch (const std::exception& error) {
            ReportFailure(job, error);
            job.finished = true;
            return false;
        }
    }

    void Convert(Job& job) const
    {
        const PlannedFile& file = *job.file;
        const ClipSpan span = GetClipSpan(m_archive.clips->aRecords[file.index], file.resolution);
        const std::string subject = EncodingSubject(static_cast<uint32_t>(file.index) + 1, file.resolution);
        job.concealed = ConvertEncoding(m_archive.file, span, subject, job.output->File(), job.output->IsStream(),
                                        m_options, &job.framesDone);
    }

    // A converted file takes its name; a failed one's temporary file goes.
    void Complete(Job& job, std::exception_ptr failure)
    {
        job.finished = true;
        std::unique_ptr<COutputFile> output = std::move(job.output);
        try {
            if (failure)
                std::rethrow_exception(failure);
            output->Finish();
            output->Commit(false);
            if (!output->IsStream())
                m_lastCommitted = job.file->path;
            if (m_settings.verbose)
                m_report.PrintName(job.file->path);
            if (!job.concealed.empty()) {
                m_report.Error(job.name, job.concealed);
                ++m_counts.concealed;
                if (m_extras)
                    m_extras->outcomes[job.position].concealed = job.concealed;
            }
        } catch (const COutputExists& exists) {
            output.reset();
            Exists(job, exists);
        } catch (const std::exception& error) {
            output.reset();
            ReportFailure(job, error);
        }
    }

    // A file already there: kept under noClobber, a failure otherwise.
    void Exists(const Job& job, const COutputExists& exists)
    {
        if (!m_settings.noClobber)
            return ReportFailure(job, exists);
        ++m_counts.skipped;
        if (m_extras)
            m_extras->outcomes[job.position].kept = true;
    }

    // The converter's failures name the clip, the encoding and the frame: said
    // after the file's name. The output's own refusals and file errors name
    // their file themselves.
    void ReportFailure(const Job& job, const std::exception& error)
    {
        const auto* failure = dynamic_cast<const CFailure*>(&error);
        if (failure && !dynamic_cast<const COutputRefused*>(&error))
            m_report.Error(job.name, failure->GetErrorMessage());
        else
            m_report.Fail(error, job.name);
        Failed(job, FailureTextByName(error));
    }

    void Failed(const Job& job, const std::string& reason)
    {
        ++m_counts.failed;
        if (m_extras)
            m_extras->outcomes[job.position].failure = reason;
    }

    LoadedArchive& m_archive;
    const ConvertRequest& m_settings;
    Reporter& m_report;
    OutputRules m_rules;
    ConversionOptions m_options;
    std::string m_lastCommitted;
    ConvertCounts m_counts;
    size_t m_opened = 0;   // outputs opened for work
    ConvertExtras* m_extras;
};

} // namespace

ConvertCounts ConvertFiles(LoadedArchive& archive, const std::vector<PlannedFile>& files, bool madeNames,
                           const ConvertRequest& settings, RunState& run, ConvertExtras* extras)
{
    InstallInterruptCleanup();
    Converter converter(archive, settings, madeNames, run, extras);
    return converter.Run(files);
}

int RunConvert(const ConvertRequest& request, RunState& run)
{
    LoadedArchive archive;
    std::vector<std::string> madeFolders;
    const ExtractPlan plan = LoadAndPlan(request, run, archive, request.format->extension, madeFolders);
    const ConvertCounts counts = ConvertFiles(archive, plan.files, plan.madeNames, request, run);
    RemoveEmptyFolders(madeFolders);   // only those that nothing was written into
    const std::string detail =
        counts.concealed ? std::to_string(counts.concealed) + " with frames concealed" : std::string();
    const int status =
        FinishFiles(run, plan.files.size(), counts.failed, request.quiet, "converted", detail, counts.skipped);
    // A damaged archive, or a clip written with frames concealed, fails the run whatever the rest did.
    return archive.salvaged || counts.concealed ? EXIT_FAILED : status;
}
