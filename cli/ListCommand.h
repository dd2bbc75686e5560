#pragma once
// zodovu-cli list ARCHIVE [--json] [--disc D]
#include <string>

namespace CLI {
class App;
}

struct ListRequest {
    std::string archive;
    bool json = false;
};

// Adds the subcommand, --disc included.
CLI::App* AddListCommand(CLI::App& app, ListRequest& request);
int RunList(const ListRequest& request);
