#include "VerifyCommand.h"

#include "ClipChecks.h"
#include "DiscOption.h"
#include "ExitStatus.h"
#include "JsonOutput.h"
#include "LoadedArchive.h"
#include "Reporting.h"

#include <CLI/CLI.hpp>

#include <cstdio>

namespace {

struct Verdict {
    std::string path;
    bool readable = false;
    std::string error;   // why it could not be read
    bool accepted = false;
    ScanRejection rejection;
    const char* discLabel = nullptr;
    uint32_t clips = 0;   // accepted, or read whole before the refusal
    std::vector<ClipFinding> findings;

    bool Whole() const { return readable && accepted && findings.empty(); }
};

Verdict VerifyArchive(const std::string& path)
{
    Verdict verdict;
    verdict.path = path;
    try {
        LoadedArchive archive;
        verdict.accepted = LoadArchive(path, archive);
        verdict.rejection = archive.rejection;
        verdict.discLabel = verdict.accepted ? archive.identity.label : nullptr;
        verdict.clips = archive.clips->nCount;
        verdict.findings = CheckClips(archive.file, archive.length, *archive.clips);
        verdict.readable = true;
    } catch (const CException& e) {
        verdict.error = e.GetErrorMessage();
        ReportFailure(e);
    }
    return verdict;
}

void PrintText(const Verdict& verdict)
{
    if (!verdict.readable)
        return;   // already reported on stderr
    const std::string clips = Counted(verdict.clips, "clip", "clips");
    if (!verdict.accepted)
        std::printf("%s: refused: %s\n", verdict.path.c_str(), verdict.rejection.text.c_str());
    else if (verdict.findings.empty())
        std::printf("%s: whole, %s\n", verdict.path.c_str(), clips.c_str());
    else
        std::printf("%s: damaged, %s, %s\n", verdict.path.c_str(), clips.c_str(),
                    Counted(static_cast<uint32_t>(verdict.findings.size()), "problem", "problems").c_str());
    for (const ClipFinding& finding : verdict.findings)
        std::printf("  %s\n", finding.text.c_str());
}

nlohmann::ordered_json ToJson(const Verdict& verdict)
{
    nlohmann::ordered_json entry = {{"path", verdict.path}, {"whole", verdict.Whole()}};
    if (!verdict.readable) {
        entry["error"] = verdict.error;
        return entry;
    }
    entry["accepted"] = verdict.accepted;
    entry["rejection"] = nullptr;
    if (!verdict.accepted) {
        entry["rejection"] = {{"clip", verdict.rejection.clip},
                              {"offset", verdict.rejection.offset},
                              {"text", verdict.rejection.text}};
    }
    entry["disc_label"] = verdict.discLabel ? nlohmann::ordered_json(verdict.discLabel) : nullptr;
    entry["clips"] = verdict.clips;
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const ClipFinding& finding : verdict.findings)
        findings.push_back({{"clip", finding.clip}, {"text", finding.text}});
    entry["findings"] = findings;
    return entry;
}

} // namespace

CLI::App* AddVerifyCommand(CLI::App& app, VerifyRequest& request)
{
    CLI::App* verify = app.add_subcommand("verify", "Check that each ARCHIVE is whole; say what is wrong if not.");
    verify->add_option("ARCHIVE", request.archives, "The disc archives (.pak).")->required();
    verify->add_flag("--json", request.json, "One JSON object (\"format\": 1) instead of text.");
    AddDiscOption(*verify);
    verify->footer("Exit status: 0 every archive whole; 1 an archive refused, damaged or unreadable; "
                   "2 a usage error.");
    return verify;
}

int RunVerify(const VerifyRequest& request)
{
    bool allWhole = true;
    nlohmann::ordered_json archives = nlohmann::ordered_json::array();
    for (const std::string& path : request.archives) {
        const Verdict verdict = VerifyArchive(path);
        allWhole = allWhole && verdict.Whole();
        if (request.json)
            archives.push_back(ToJson(verdict));
        else
            PrintText(verdict);
    }
    if (request.json)
        PrintJsonDocument({{"format", JSON_FORMAT}, {"archives", archives}});
    return allWhole ? EXIT_OK : EXIT_FAILED;
}
