#pragma once
// The help of the tool and of each subcommand, written to be read at 80
// columns; what they say of the output formats comes from their table.
#include <string>
#include <vector>

// The tool's help, which lists the subcommands between a start and the end;
// a build without decoding starts without converting.
extern const char TOOL_HELP_START[], TOOL_HELP_START_WITHOUT_DECODING[], TOOL_HELP_END[];
// Each subcommand's help, the usage lines first, for the table of subcommands.
extern const std::string LIST_HELP, EXTRACT_HELP, CONVERT_HELP, ENCODE_HELP, VERIFY_HELP, REPLACE_HELP, PACK_HELP, INDEX_HELP,
    URL_HELP, PLAY_HELP, HELP_HELP;
// "a, b or c", or with another last word before c ("and", ", or").
std::string Listed(const std::vector<std::string>& items, const std::string& last = " or");
// "MP4 or WebM": the output formats' labels.
std::string FormatLabels();
