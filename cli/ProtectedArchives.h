#pragma once
// Outputs of a run that reads several archives (index): none of them may be
// written, whatever path reaches it.
#include "file/OutputFile.h"

#include <string>
#include <vector>

// rules, protecting the one of archives that path reaches (an output's rules
// keep one file, and only the one its path reaches is in danger), or the first
// when it reaches none.
OutputRules ProtectingArchives(OutputRules rules, const std::vector<FileIdentity>& archives, const std::string& path);
