#pragma once
// zodovu-cli list [--json] ARCHIVE
#include <string>

int RunList(const std::string& archivePath, bool json);
