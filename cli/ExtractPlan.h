#pragma once
// Which files an extract writes, and under which names: decided from the
// request and the archive's clips alone, before anything is written.
#include "catalogue/ClipTable.h"
#include "catalogue/DiscIdentity.h"
#include "cli/Requests.h"

#include <string>
#include <vector>

struct PlannedFile {
    int index;                 // 0-based
    Resolution resolution;
    std::string path;          // "-" for standard output
};

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
