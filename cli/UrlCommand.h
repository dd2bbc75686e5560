#pragma once
// zodovu-cli url ARCHIVE NUMBER [--lo]: a URL that FFmpeg's tools read as the clip.
#include "ClipRequest.h"

CLI::App* AddUrlCommand(CLI::App& app, ClipRequest& request);
int RunUrl(const ClipRequest& request);
