#pragma once
// zodovu-cli index ARCHIVE... -o FOLDER [--convert [--lo | --both] [--format F]
// [--crf N] [--preset NAME]] [-j N] [--force] [-q | -v] [--disc D]
#include "cli/Requests.h"

// 1 when a clip has no poster or an archive was not read; the page is still written.
int RunIndex(const IndexRequest& request, RunState& run);
