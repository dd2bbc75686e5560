#pragma once
// zodovu-cli replace ARCHIVE CLIP (--hi FILE.bik --lo FILE.bik | --from VIDEO
// [--rate KBPS | --quality Q]) -o NEW.pak [-j N] [--force] [-q | -v] [--disc D]
#include "cli/Requests.h"

int RunReplace(const ReplaceRequest& request, RunState& run);
