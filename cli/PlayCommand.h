#pragma once
// zodovu-cli url ARCHIVE NUMBER [--lo] and play ARCHIVE NUMBER [--lo] [--player
// PROGRAM]
#include "cli/Requests.h"

int RunUrl(const ClipRequest& request, RunState& run);
// The player's own exit status (128 + N when signal N ended it).
int RunPlay(const ClipRequest& request, RunState& run);
