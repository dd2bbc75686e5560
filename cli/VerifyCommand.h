#pragma once
// zodovu-cli verify ARCHIVE... [--frames [-j N]] [--json] [--disc D]
#include "cli/Requests.h"

// 0 only when every archive is whole.
int RunVerify(const VerifyRequest& request, RunState& run);
