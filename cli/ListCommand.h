#pragma once
// zodovu-cli list ARCHIVE [--json] [--disc D]
#include "Requests.h"

int RunList(const ListRequest& request, RunState& run);
