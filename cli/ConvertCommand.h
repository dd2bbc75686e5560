#pragma once
// zodovu-cli convert ARCHIVE (SELECTION... | --all) [--lo | --both] [-o OUTPUT]
// [--format F] [--crf N] [--preset NAME] [-j N] [--force | -n] [-q | -v] [--disc D]
//
// What convert does to a planned list of clips, for any subcommand that
// converts: each file encoded anew (media/ClipConverter.h), several at once,
// each appearing only when complete, every failure named once and the others
// going on, one progress line on a terminal.
#include "cli/ExtractPlan.h"
#include "cli/Requests.h"
#include "file/FileIdentity.h"

#include <cstddef>
#include <string>
#include <vector>

struct LoadedArchive;

// What became of one file, for a caller that shows it (index's page).
struct FileOutcome {
    bool kept = false;     // it was there already, and settings.noClobber kept it
    std::string failure;   // why it failed, each file named by its name alone; empty: written or kept
    std::string concealed; // with settings.conceal, what was concealed, as said after the file's name
};

// What a caller that reads several archives asks besides (index).
struct ConvertExtras {
    std::vector<FileIdentity> protectedFiles;   // the run's other archives: never written either
    std::vector<FileOutcome> outcomes;          // filled, one for each of files
};

struct ConvertCounts {
    size_t failed = 0;
    size_t skipped = 0;    // kept as they were (noClobber)
    size_t concealed = 0;  // written with frames concealed (conceal)
};

// Conversions under way at once, at most, whatever -j asks: each holds a
// temporary file, and the interrupt cleanup keeps only so many (and one for
// index's page). More threads go to each encoder instead.
constexpr unsigned MOST_CONVERSIONS_AT_ONCE = 8;

// Converts each of files, planned for archive (PlanExtract with
// the format's extension; "-" is standard output), with the encoding settings of
// settings (format, crf, preset, jobs: 0 for one a core) and its output rules
// (force or noClobber; madeNames: the names are the tool's, as
// ExtractPlan::madeNames). An encoding that the plain checks (CheckEncoding)
// refuse fails with their finding and never reaches a decoder. Each failure is
// reported once, "zodovu-cli: FILE: clip 12 (high-res.): frame 4 of 45:
// reason"; with settings.verbose each file written is printed. The progress
// line counts the frames and the files ("Converting NAME"). Returns how many
// files failed and how many were kept; extras, when given, adds files to
// protect and gets each file's outcome. The folder is the caller's to make.
// With settings.conceal a clip with frames that do not decode is written with
// them concealed, and named: "zodovu-cli: FILE: clip 12 (high-res.): 1 frame
// concealed: frame 4 of 45: reason".
ConvertCounts ConvertFiles(LoadedArchive& archive, const std::vector<PlannedFile>& files, bool madeNames,
                           const ConvertRequest& settings, RunState& run, ConvertExtras* extras = nullptr);

// 1 when any file failed; the others are still written.
int RunConvert(const ConvertRequest& request, RunState& run);
