#pragma once
// --disc 1|2|3|4|publisher: which disc an archive is when its file was renamed.
// Without it the file name decides, as in the viewer. The choice holds for every
// archive the run loads (LoadArchive applies it).
#include <string>

namespace CLI {
class App;
}

// Adds --disc to a subcommand.
void AddDiscOption(CLI::App& command);

// The file title that decides an archive's layout and disc: the one --disc names
// ("disc2.pak", "publish.pak"), or the archive's own title.
std::string IdentifyingTitle(const std::string& fileTitle);
