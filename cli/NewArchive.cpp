#include "cli/NewArchive.h"

#include "catalogue/ArchiveScanner.h"
#include "catalogue/ClipChecks.h"
#include "catalogue/ClipTexts.h"
#include "cli/Archive.h"
#include "cli/BinkInputs.h"
#include "cli/Decoding.h"
#include "cli/ParallelWork.h"
#include "cli/Reporting.h"
#include "file/OutputFile.h"
#include "file/PathNames.h"

#include <algorithm>
#include <memory>
#include <thread>

namespace {

bool SameRecord(const ClipRecord& a, const ClipRecord& b)
{
    return a.dwHiOffset == b.dwHiOffset && a.dwHiSize == b.dwHiSize && a.dwLoOffset == b.dwLoOffset &&
           a.dwLoSize == b.dwLoSize && a.dwFrames == b.dwFrames;
}

// Neither the archive read nor a Bink file put in: said before anything is
// opened, each in its own words (the output rules refuse them too, should one
// appear under the name meanwhile).
void RefuseInputs(const NewArchive& target)
{
    FileIdentity reached;
    if (!IdentityOfPath(target.path, reached))
        return;
    if (target.archive != FileIdentity{} && reached == target.archive)
        throw COutputRefused(target.path, "is the archive itself; refusing to write to it");
    for (const FileIdentity& bink : target.binkFiles)
        if (reached == bink)
            throw COutputRefused(target.path, "is a Bink file being put in; refusing to write to it");
    if (target.video != FileIdentity{} && reached == target.video)
        throw COutputRefused(target.path, "is the video being encoded; refusing to write to it");
}

// One encoding of the archive written.
struct Encoding {
    uint32_t index;
    Resolution resolution;
};

class WrittenCheck {
public:
    WrittenCheck(const ArchivePlan& plan, const NewArchive& target, CFile& file, RunState& run)
        : m_plan(plan), m_target(target), m_file(file), m_run(run), m_length(static_cast<uint32_t>(plan.size))
    {
    }

    void Run()
    {
        const uint64_t length = m_file.GetLength64();
        if (length != m_plan.size)
            Fail("it holds " + std::to_string(length) + " bytes of the " + std::to_string(m_plan.size) + " written");
        ScanRejection rejection;
        if (ScanArchive(m_file, m_length, m_target.publisher, *m_table, nullptr, &rejection) != ScanResult::Accepted)
            Fail(RefusalText(rejection));
        const std::vector<ClipRecord>& planned = m_plan.clips;
        if (m_table->nCount != planned.size() ||
            !std::equal(planned.begin(), planned.end(), m_table->aRecords, SameRecord))
            Fail("the scan finds its clips elsewhere than they were written");
        // The low-resolution file is checked against its own count: a clip
        // whose files differ in frames is taken, and said, before it is written.
        *m_lowTable = *m_table;
        for (const auto& clip : m_target.newClips)
            m_lowTable->aRecords[clip.first].dwFrames = clip.second;

        std::vector<ClipFinding> findings;
        for (const auto& clip : m_target.newClips) {
            for (const Resolution resolution : {Resolution::High, Resolution::Low}) {
                const std::vector<ClipFinding> found =
                    CheckEncoding(m_file, m_length, TableOf(resolution), clip.first, resolution);
                findings.insert(findings.end(), found.begin(), found.end());
                m_encodings.push_back({clip.first, resolution});
            }
        }
        if (findings.empty())
            CheckFrames(findings);
        if (!findings.empty())
            Fail(FindingsText(findings));
    }

private:
    const ClipTable& TableOf(Resolution resolution) const
    {
        return resolution == Resolution::High ? *m_table : *m_lowTable;
    }

    void CheckFrames(std::vector<ClipFinding>& findings)
    {
        if (!m_run.decoding)
            return;
        std::vector<FramesFinding> found(m_encodings.size());
        ProgressLine& progress = m_run.report.Progress();
        progress.Start("Checking frames", m_encodings.size(), false);
        progress.SetName(NameOf(m_target.path));
        ParallelSteps steps;
        steps.work = [&](size_t e) {
            const Encoding& encoding = m_encodings[e];
            found[e] = m_run.decoding->checkEncodingFrames(m_file, TableOf(encoding.resolution), encoding.index,
                                                           encoding.resolution);
        };
        steps.progress = [&progress](size_t done) { progress.Report(done); };
        const unsigned jobs = m_target.jobs ? m_target.jobs : std::max(1u, std::thread::hardware_concurrency());
        RunInParallel(m_encodings.size(), jobs, steps);
        progress.Clear();
        for (const FramesFinding& finding : found)
            findings.insert(findings.end(), finding.findings.begin(), finding.findings.end());
    }

    [[noreturn]] void Fail(const std::string& why) const
    {
        throw CFailure(m_target.path, "the archive written does not pass its check, and is not kept: " + why);
    }

    const ArchivePlan& m_plan;
    const NewArchive& m_target;
    CFile& m_file;
    RunState& m_run;
    const uint32_t m_length;
    std::unique_ptr<ClipTable> m_table{new ClipTable()};
    std::unique_ptr<ClipTable> m_lowTable{new ClipTable()};
    std::vector<Encoding> m_encodings;
};

} // namespace

void RefuseTargetEarly(const NewArchive& target)
{
    RefuseInputs(target);
    if (!target.force && HoldsRegularFile(target.path))
        throw COutputExists(target.path, ALREADY_EXISTS);
}

void WriteNewArchive(const ArchivePlan& plan, const NewArchive& target, RunState& run)
{
    RefuseInputs(target);
    // A device or a FIFO would take the bytes before they are checked (and a
    // FIFO's open waits for a reader): refused before it is opened.
    FileIdentity there;
    if (IdentityOfPath(target.path, there) && !HoldsRegularFile(target.path) && !IsFolder(target.path)) {
        throw COutputRefused(target.path, "is no regular file (a device, a FIFO or a link): a new archive is "
                                          "checked before it takes its name");
    }
    OutputRules rules;
    rules.replace = target.force;
    rules.protectedFiles = target.binkFiles;
    for (const FileIdentity& read : {target.archive, target.video})
        if (read != FileIdentity{})
            rules.protectedFiles.push_back(read);
    rules.protectedRole = "a file being read";
    COutputFile output(target.path, rules);
    if (output.IsStream())
        throw COutputRefused(target.path, "is no regular file: a new archive is checked before it takes its name");
    ProgressLine& progress = run.report.Progress();
    progress.Start("Writing", plan.size);
    progress.SetName(NameOf(target.path));
    WriteArchive(plan, output.File(), [&progress](uint64_t written) { progress.Report(written); });
    output.Finish();
    progress.Clear();
    WrittenCheck(plan, target, output.File(), run).Run();
    output.Commit();
    if (target.verbose)
        run.report.PrintName(target.path);
}

void SayWritten(RunState& run, const std::string& path, size_t clips, uint64_t bytes, bool quiet)
{
    if (!quiet)
        run.report.Note(NameOf(path) + " written: " + Counted(clips, "clip", "clips") + ", " + FormatMebibytes(bytes));
}
