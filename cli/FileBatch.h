#pragma once
// What extract and convert share: the start of a run that writes files (the
// archive loaded, the files planned, their folder made) and its last line.
#include "cli/ExtractPlan.h"

#include <string>
#include <vector>

struct LoadedArchive;

// What extract and convert do first: the archive loaded (one without clips is a
// failure), the files planned with extension, and the folder they go to made;
// madeFolders gets the folders made, to be removed again if nothing goes in.
ExtractPlan LoadAndPlan(const ExtractRequest& request, RunState& run, LoadedArchive& archive,
                        const char* extension, std::vector<std::string>& madeFolders);
// The run's last line on standard error when it wrote several files or kept
// some (-n), "34 files extracted (0.9M)", "30 files extracted (0.8M), 4
// skipped" (not under -q) or "12 of 14 files extracted, 2 failed", and its exit
// status; skipped files count as done.
int FinishFiles(RunState& run, size_t files, size_t failed, bool quiet, const std::string& verb,
                const std::string& detail = std::string(), size_t skipped = 0);
