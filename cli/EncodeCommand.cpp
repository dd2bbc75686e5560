// Videos encoded as Bink files. Workers decode and encode; the calling thread
// alone opens and commits the output files and reports, as convert's.
#include "cli/EncodeCommand.h"

#include "cli/BinkInputs.h"
#include "cli/ConvertCommand.h"
#include "cli/ExitStatus.h"
#include "cli/FileBatch.h"
#include "cli/ParallelWork.h"
#include "cli/Reporting.h"
#include "cli/UsageError.h"
#include "file/Console.h"
#include "file/InterruptCleanup.h"
#include "file/OutputFile.h"
#include "file/PathNames.h"
#include "file/SpoolFile.h"
#include "media/BinkEncoding.h"
#include "media/VideoInput.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

class SpoolSink : public bink::FrameSink {
public:
    explicit SpoolSink(CFile& spool) : m_spool(spool) {}
    void Write(const std::vector<uint8_t>& bytes) override
    {
        m_spool.Write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

private:
    CFile& m_spool;
};

BinkEncodingSettings SettingsOf(const EncodeSettings& settings, uint32_t width, uint32_t height)
{
    BinkEncodingSettings bink;
    bink.width = width;
    bink.height = height;
    bink.kilobytesPerSecond = settings.kilobytesPerSecond;
    bink.quality = settings.quality;
    return bink;
}

// The video encoded with its frames spooled; then output gets the head and
// the frames, from its position on.
BinkEncoded EncodeInto(const std::string& input, const BinkEncodingSettings& settings, CFile& spool, CFile& output,
                       std::atomic<uint32_t>* framesDone)
{
    VideoInput video(input);
    SpoolSink sink(spool);
    const BinkEncoded encoded = EncodeBink(video, settings, sink, framesDone);
    output.Write(encoded.head.data(), static_cast<uint32_t>(encoded.head.size()));
    CopySpool(spool, output);
    return encoded;
}

// The frames a video gives at 15 a second, as far as it says how long it lasts.
uint32_t EstimatedFrames(const std::string& input)
{
    try {
        return static_cast<uint32_t>(std::ceil(VideoInput(input).Duration() * CLIP_FRAME_RATE));
    } catch (const std::exception&) {
        return 0;   // said when it is encoded
    }
}

// Where an output's spool goes: beside it, on the disk that is to hold it
// anyway; for standard output, the system's folder for temporary files.
std::string SpoolFolderFor(const std::string& output)
{
    if (output == TO_STANDARD_OUTPUT)
        return std::string();
    const std::string folder = FolderOf(output);
    return folder.empty() ? "." : folder;
}

// "out.bik written: 900 frames, 60.0 s, 301 KB/s"
std::string WrittenText(const std::string& name, const BinkEncoded& encoded)
{
    const double seconds = double(encoded.frames) / CLIP_FRAME_RATE;
    char figures[96];
    std::snprintf(figures, sizeof figures, ", %.1f s, %.0f KB/s", seconds, encoded.fileSize / 1024.0 / seconds);
    return name + " written: " + Counted(encoded.frames, "frame", "frames") + figures;
}

// A name without its last extension: "clip.final.mp4" gives "clip.final".
std::string Stem(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

struct Job {
    std::string input;
    std::string path;               // the output's, or "-"
    std::string name;               // as messages name the output
    uint32_t estimate = 0;          // frames
    std::unique_ptr<COutputFile> output;
    CFile spool;
    std::atomic<uint32_t> framesDone{0};
    BinkEncoded encoded;
    bool finished = false;
};

class Encoder {
public:
    Encoder(const EncodeRequest& request, RunState& run) : m_request(request), m_report(run.report)
    {
        m_rules.replace = request.force;
        m_rules.protectedRole = "an input";
        for (const std::string& input : request.inputs) {
            FileIdentity identity;
            if (IdentityOfPath(input, identity)) {
                m_rules.protectedFiles.push_back(identity);
                m_report.Protect(identity, "an input");   // nor what the run says
            }
        }
    }

    size_t Run(std::vector<std::unique_ptr<Job>>& jobs)
    {
        uint64_t total = 0;
        for (const auto& job : jobs)
            total += job->estimate = EstimatedFrames(job->input);
        ProgressLine& progress = m_report.Progress();
        progress.Start("Encoding", total, false);
        progress.SetUnits("frames", jobs.size() > 1 ? "files" : "", true);
        progress.SetName(jobs.size() == 1 ? NameOf(jobs[0]->input) : std::string("videos"));

        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        // Each encoding under way holds a temporary file, as a conversion does.
        const unsigned workers = static_cast<unsigned>(std::min<size_t>(
            {m_request.jobs ? m_request.jobs : cores, jobs.size(), static_cast<size_t>(MOST_CONVERSIONS_AT_ONCE)}));
        const BinkEncodingSettings settings =
            SettingsOf(m_request.settings, m_request.settings.width, m_request.settings.height);
        ParallelSteps steps;
        steps.open = [&](size_t i) { return Open(*jobs[i]); };
        steps.work = [&](size_t i) {
            Job& job = *jobs[i];
            job.encoded = EncodeInto(job.input, settings, job.spool, job.output->File(), &job.framesDone);
        };
        steps.finish = [&](size_t i, std::exception_ptr failure) { Complete(*jobs[i], failure); };
        steps.progress = [&](size_t filesDone) {
            uint64_t frames = 0;
            for (const auto& job : jobs)
                frames += job->finished ? job->estimate
                                        : std::min(job->framesDone.load(std::memory_order_relaxed), job->estimate);
            progress.Report(std::min(frames, total), filesDone, jobs.size());
        };
        RunInParallel(jobs.size(), std::max(1u, workers), steps);
        progress.Clear();
        if (!m_lastCommitted.empty())
            SyncFolderOf(m_lastCommitted);
        return m_failed;
    }

private:
    // The output and its spool, opened on this thread; false when refused (said).
    bool Open(Job& job)
    {
        try {
            job.output.reset(job.path == TO_STANDARD_OUTPUT ? new COutputFile(COutputFile::StandardOutput{}, m_rules)
                                                            : new COutputFile(job.path, m_rules));
            OpenSpoolFile(job.spool, SpoolFolderFor(job.path), job.name);
            return true;
        } catch (const std::exception& error) {
            job.output.reset();
            Failed(job, error);
            return false;
        }
    }

    void Complete(Job& job, std::exception_ptr failure)
    {
        job.finished = true;
        std::unique_ptr<COutputFile> output = std::move(job.output);
        job.spool.Attach(-1, job.name);   // the spool goes; nothing of it is needed any more
        try {
            if (failure)
                std::rethrow_exception(failure);
            output->Finish();
            output->Commit(false);
            if (!output->IsStream())
                m_lastCommitted = job.path;
            if (m_request.verbose)
                m_report.PrintName(job.path);
            if (!m_request.quiet)
                m_report.Note(WrittenText(job.path == TO_STANDARD_OUTPUT ? job.name : NameOf(job.path), job.encoded));
        } catch (const std::exception& error) {
            output.reset();   // its temporary file goes
            Failed(job, error);
        }
    }

    // File errors and failures name their own subject (the input or the
    // output); anything else is the input's.
    void Failed(Job& job, const std::exception& error)
    {
        job.finished = true;
        const bool named = dynamic_cast<const CFileException*>(&error) || dynamic_cast<const CFailure*>(&error);
        m_report.Fail(error, named ? std::string() : job.input);
        ++m_failed;
    }

    const EncodeRequest& m_request;
    Reporter& m_report;
    OutputRules m_rules;
    std::string m_lastCommitted;
    size_t m_failed = 0;
};

} // namespace

int RunEncode(const EncodeRequest& request, RunState& run)
{
    InstallInterruptCleanup();
    if (request.quiet)
        run.report.Quiet();
    const std::string& output = request.output;
    const bool intoFolder = output != TO_STANDARD_OUTPUT &&
                            (request.inputs.size() > 1 || IsFolder(output) || IsPathSeparator(output.back()));
    std::vector<std::unique_ptr<Job>> jobs;
    for (const std::string& input : request.inputs) {
        auto job = std::make_unique<Job>();
        job->input = input;
        job->path = !intoFolder ? output
                                : output + (IsPathSeparator(output.back()) ? "" : "/") + Stem(NameOf(input)) + ".bik";
        job->name = job->path == TO_STANDARD_OUTPUT ? STANDARD_OUTPUT_NAME : job->path;
        for (const auto& before : jobs)
            if (before->path == job->path)
                throw UsageError("'" + before->input + "' and '" + input + "' would both be written as '" +
                                 job->path + "'");
        jobs.push_back(std::move(job));
    }
    std::vector<std::string> madeFolders;
    if (intoFolder)
        madeFolders = MakeFolders(output);
    Encoder encoder(request, run);
    const size_t failed = encoder.Run(jobs);
    RemoveEmptyFolders(madeFolders);   // only those that nothing was written into
    return FinishFiles(run, jobs.size(), failed, request.quiet, "encoded");
}

void EncodeBinkInputs(const std::string& video, const EncodeSettings& settings,
                      const std::vector<BinkInput*>& encodings, unsigned jobs, const std::string& folder,
                      RunState& run)
{
    std::vector<std::unique_ptr<CFile>> spools;
    for (BinkInput* encoding : encodings) {
        encoding->path = video + (encoding->resolution == Resolution::High ? " (high-res.)" : " (low-res.)");
        OpenSpoolFile(encoding->file, folder, encoding->path);
        spools.push_back(std::make_unique<CFile>());
        OpenSpoolFile(*spools.back(), folder, encoding->path);
    }
    const uint64_t estimate = EstimatedFrames(video);
    std::vector<std::atomic<uint32_t>> done(encodings.size());
    ProgressLine& progress = run.report.Progress();
    progress.Start("Encoding", estimate * encodings.size(), false);
    progress.SetUnits("frames", "", true);
    progress.SetName(NameOf(video));
    ParallelSteps steps;
    steps.work = [&](size_t i) {
        const bool high = encodings[i]->resolution == Resolution::High;
        const BinkEncodingSettings bink = SettingsOf(settings, high ? HIGH_RES_WIDTH : LOW_RES_WIDTH,
                                                     high ? HIGH_RES_HEIGHT : LOW_RES_HEIGHT);
        EncodeInto(video, bink, *spools[i], encodings[i]->file, &done[i]);
    };
    steps.progress = [&](size_t) {
        uint64_t frames = 0;
        for (const auto& count : done)
            frames += std::min<uint64_t>(count.load(std::memory_order_relaxed), estimate);
        progress.Report(frames);
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    RunInParallel(encodings.size(), jobs ? jobs : cores, steps);
    progress.Clear();
}
