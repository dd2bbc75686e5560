#pragma once
// Which files an extract writes, and under which names: decided from the
// request and the archive's clips alone, before anything is written.
#include "ClipTable.h"
#include "Commands.h"
#include "DiscIdentity.h"

#include <string>
#include <vector>

struct PlannedFile {
    int index;                 // 0-based
    Resolution resolution;
    std::string path;          // "-" for standard output
};

struct LoadedArchive;
struct RunState;

struct ExtractPlan {
    std::vector<PlannedFile> files;
    std::string folder;        // to be made when missing; empty when the files name their own
    bool madeNames = false;    // the names are the tool's, not the user's
};

// The selected clips (usage errors throw UsageError), each in the chosen
// encodings. One clip keeps the viewer's name, or the one given; a batch, or a
// folder given as the output (outputIsFolder: an existing folder), names each
// file by the archive, the clip and its title, in that folder. The names the
// tool makes end in extension (".mp4" for a conversion).
ExtractPlan PlanExtract(const ExtractRequest& request, uint32_t clipCount, DiscId disc,
                        const std::string& archiveTitle, bool outputIsFolder, const std::string& extension = ".bik");

// What extract and convert do first: the archive loaded (one without clips is a
// failure), the files planned with extension, and the folder they go to made;
// madeFolders gets the folders made, to be removed again if nothing goes in.
ExtractPlan LoadAndPlan(const ExtractRequest& request, RunState& run, LoadedArchive& archive,
                        const char* extension, std::vector<std::string>& madeFolders);
// The run's last line on standard error when it wrote several files, "34 files
// extracted (0.9M)" (not under -q) or "12 of 14 files extracted, 2 failed",
// and its exit status.
int FinishFiles(RunState& run, size_t files, size_t failed, bool quiet, const std::string& verb,
                const std::string& detail = std::string());
