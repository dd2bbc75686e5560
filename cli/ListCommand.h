#pragma once
// zodovu-cli list ARCHIVE [--json] [--disc D]
#include "cli/Requests.h"

int RunList(const ListRequest& request, RunState& run);
