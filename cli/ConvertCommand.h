#pragma once
// zodovu-cli convert ARCHIVE (SELECTION... | --all) [--lo | --both] [-o OUTPUT]
// [--format F] [--crf N] [--preset NAME] [-j N] [--force] [-q | -v] [--disc D]
//
// What convert does to a planned list of clips, for any subcommand that
// converts: each file encoded anew (media/ClipConverter.h), several at once,
// each appearing only when complete, every failure named once and the others
// going on, one progress line on a terminal.
#include "cli/ExtractPlan.h"
#include "cli/Requests.h"

#include <cstddef>
#include <string>
#include <vector>

struct LoadedArchive;

// Conversions under way at once, at most, whatever -j asks: each holds a
// temporary file, and the interrupt cleanup keeps only so many (and one for
// index's page). More threads go to each encoder instead.
constexpr unsigned MOST_CONVERSIONS_AT_ONCE = 8;

// Converts each of files, planned for archive (PlanExtract with
// the format's extension; "-" is standard output), with the encoding settings of
// settings (format, crf, preset, jobs: 0 for one a core) and its output rules
// (force; madeNames: the names are the tool's, as ExtractPlan::madeNames).
// An encoding that the plain checks (CheckEncoding) refuse fails with their
// finding and never reaches a decoder. Each failure is reported once,
// "zodovu-cli: FILE: clip 12 (high-res.): frame 4 of 45: reason"; with
// settings.verbose each file written is printed. The progress line counts the
// frames and the files ("Converting NAME"). Returns how many files failed;
// reasons, when given, gets for each of files why it failed, in the words of
// its message after the file's name (FailureText), or nothing for a file
// written. The folder is the caller's to make. With settings.conceal a clip
// with frames that do not decode is written with them concealed, and named:
// "zodovu-cli: FILE: clip 12 (high-res.): 1 frame concealed: frame 4 of 45:
// reason"; concealed, when given, gets that text after the file's name for
// each of files, or nothing.
size_t ConvertFiles(LoadedArchive& archive, const std::vector<PlannedFile>& files, bool madeNames,
                    const ConvertRequest& settings, RunState& run, std::vector<std::string>* reasons = nullptr,
                    std::vector<std::string>* concealed = nullptr);

// 1 when any file failed or has frames concealed; the others are still written.
int RunConvert(const ConvertRequest& request, RunState& run);
