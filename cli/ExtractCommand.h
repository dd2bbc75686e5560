#pragma once
// zodovu-cli extract ARCHIVE (SELECTION... | --all) [--lo | --both] [-o OUTPUT]
// [--force | -n] [-q | -v] [--disc D]
#include "cli/Requests.h"

// 1 when any file failed; the others are still written.
int RunExtract(const ExtractRequest& request, RunState& run);
