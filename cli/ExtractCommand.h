#pragma once
// zodovu-cli extract ARCHIVE (SELECTION... | --all) [--lo | --both] [-o OUTPUT] [--force] [-q | -v]
#include "ClipSelection.h"

#include <string>
#include <vector>

// -o - writes the one selected clip to standard output.
constexpr char STANDARD_OUTPUT[] = "-";

struct ExtractRequest {
    std::string archive;
    std::vector<ClipRange> selection;   // empty with all
    bool all = false;
    bool low = false;
    bool both = false;
    std::string output;                 // empty: the current folder
    bool force = false;
    bool quiet = false;                 // nothing on stderr but errors
    bool verbose = false;               // each written path on stdout
};

int RunExtract(const ExtractRequest& request);
