// Is each archive whole? A
// whole archive is accepted by the scan, holds as many clips as its disc has,
// and none of its clips shows a fault in its Bink headers (ClipChecks). With
// --salvage a damaged archive's clips before the damage are checked as a whole
// archive's are; the archive is still not whole.
#include "cli/VerifyCommand.h"

#include "catalogue/ClipChecks.h"
#include "cli/Archive.h"
#include "cli/ArchiveReports.h"
#include "cli/Decoding.h"
#include "cli/ExitStatus.h"
#include "cli/JsonText.h"
#include "cli/Reporting.h"
#include "file/Console.h"

#include <algorithm>
#include <thread>

namespace {

struct Verdict {
    std::string path;
    bool readable = false;
    std::string error;   // why it could not be read
    bool accepted = false;
    bool salvaged = false;   // --salvage: the clips before the damage are checked
    ScanRejection rejection;
    const char* discLabel = nullptr;
    uint32_t clips = 0;   // accepted, salvaged, or read whole before the refusal
    std::vector<ClipFinding> findings;

    bool Whole() const { return readable && accepted && findings.empty(); }
};

// The plain checks of each encoding, then, with --frames, every frame of those
// they pass, in the order of encodings.
std::vector<ClipFinding> CheckEncodings(LoadedArchive& archive, const VerifyRequest& request, RunState& run)
{
    if (!request.frames)
        return CheckClips(archive.file, archive.length, *archive.clips);
    const size_t encodings = 2 * static_cast<size_t>(archive.clips->nCount);
    std::vector<std::vector<ClipFinding>> plain(encodings);
    std::vector<bool> decode(encodings);
    for (size_t e = 0; e < encodings; ++e) {
        plain[e] = CheckEncoding(archive.file, archive.length, *archive.clips, static_cast<uint32_t>(e / 2),
                                 e % 2 == 0 ? Resolution::High : Resolution::Low);
        decode[e] = plain[e].empty();
    }
    ProgressLine& progress = run.report.Progress();
    progress.Start("Checking frames", encodings, false);
    progress.SetName(archive.title);
    const unsigned jobs = request.jobs ? request.jobs : std::max(1u, std::thread::hardware_concurrency());
    const std::vector<std::vector<ClipFinding>> frames =
        run.decoding->checkFrames(archive, decode, jobs, [&progress](size_t done) { progress.Report(done); });
    progress.Clear();
    std::vector<ClipFinding> findings;
    for (size_t e = 0; e < encodings; ++e) {
        findings.insert(findings.end(), plain[e].begin(), plain[e].end());
        findings.insert(findings.end(), frames[e].begin(), frames[e].end());
    }
    return findings;
}

Verdict VerifyArchive(const std::string& path, const VerifyRequest& request, RunState& run)
{
    Verdict verdict;
    verdict.path = path;
    LoadedArchive archive;
    try {
        const bool taken = LoadArchive(path, run, archive);
        verdict.salvaged = archive.salvaged;
        verdict.accepted = taken && !verdict.salvaged;
        verdict.rejection = archive.rejection;
        verdict.clips = archive.clips->nCount;
        if (verdict.accepted) {
            NoteDiscByClipCount(archive, run);
            verdict.findings = CheckClipCount(archive.disc, verdict.clips);
        }
        if (taken)
            verdict.discLabel = archive.disc.label;
        // A salvage has its count from the damage, and the clip it left out first.
        if (verdict.salvaged)
            verdict.findings = archive.unsaved;
        const std::vector<ClipFinding> clipFindings = taken ? CheckEncodings(archive, request, run)
                                                            : CheckClips(archive.file, archive.length, *archive.clips);
        verdict.findings.insert(verdict.findings.end(), clipFindings.begin(), clipFindings.end());
        verdict.readable = true;
    } catch (const CFileException& e) {
        verdict.error = e.m_strFileName + ": " + e.GetPlainReason();
        run.report.Fail(e);
    }
    return verdict;
}

std::string Text(const Verdict& verdict, const Reporter& report)
{
    if (!verdict.readable)
        return std::string();   // said on standard error
    const std::string path = report.Shown(verdict.path, STANDARD_OUTPUT);
    const std::string clips = Counted(verdict.clips, "clip", "clips");
    std::string text;
    if (verdict.salvaged)
        text = path + ": damaged, " + clips + " salvaged: " + verdict.rejection.text + "\n";
    else if (!verdict.accepted)
        text = path + ": refused: " + verdict.rejection.text + "\n";
    else if (verdict.findings.empty())
        text = path + ": whole, " + clips + "\n";
    else
        text = path + ": damaged, " + clips + ", " + Counted(verdict.findings.size(), "problem", "problems") + "\n";
    for (const ClipFinding& finding : verdict.findings)
        text += "  " + finding.text + "\n";
    return text;
}

Json ToJson(const Verdict& verdict)
{
    Json entry = {{"path", verdict.path}, {"whole", verdict.Whole()}};
    if (!verdict.readable) {
        entry["error"] = verdict.error;
        return entry;
    }
    entry["accepted"] = verdict.accepted;
    entry["rejection"] = nullptr;
    if (!verdict.accepted) {
        entry["rejection"] = RejectionJson(verdict.rejection);
    }
    entry["disc_label"] = verdict.discLabel ? Json(verdict.discLabel) : nullptr;
    entry["salvaged"] = verdict.salvaged ? Json(verdict.clips) : nullptr;
    entry["clips"] = verdict.clips;
    Json findings = Json::array();
    for (const ClipFinding& finding : verdict.findings)
        findings.push_back({{"clip", finding.clip == 0 ? Json(nullptr) : Json(finding.clip)}, {"text", finding.text}});
    entry["findings"] = findings;
    return entry;
}

} // namespace

int RunVerify(const VerifyRequest& request, RunState& run)
{
    bool allWhole = true;
    ArchiveReports reports(request.json);
    for (const std::string& path : request.archives) {
        const Verdict verdict = VerifyArchive(path, request, run);
        allWhole = allWhole && verdict.Whole();
        if (request.json)
            reports.AddEntry(ToJson(verdict));
        else
            reports.AddText(Text(verdict, run.report));
    }
    reports.Print(run.report);
    return allWhole ? EXIT_OK : EXIT_FAILED;
}
