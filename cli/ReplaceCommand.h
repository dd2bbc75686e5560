#pragma once
// zodovu-cli replace ARCHIVE CLIP --hi FILE.bik --lo FILE.bik -o NEW.pak
// [--force] [-q | -v] [--disc D]
#include "cli/Requests.h"

int RunReplace(const ReplaceRequest& request, RunState& run);
