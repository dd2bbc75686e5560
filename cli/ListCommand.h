#pragma once
// zodovu-cli list [--json] [--disc D] ARCHIVE
#include <string>

int RunList(const std::string& archivePath, bool json);
