#pragma once
// zodovu-cli pack -o NEW.pak (FOLDER | FILE...) [--force] [-q | -v] [-j N]
#include "cli/Requests.h"

int RunPack(const PackRequest& request, RunState& run);
