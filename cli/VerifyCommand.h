#pragma once
// zodovu-cli verify ARCHIVE... [--json] [--disc D]: is each archive whole? A
// whole archive is accepted by the scan and none of its clips shows a fault in
// its Bink headers (ClipChecks); anything else is reported with its reason.
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct VerifyRequest {
    std::vector<std::string> archives;
    bool json = false;
};

// Adds the subcommand, --disc included.
CLI::App* AddVerifyCommand(CLI::App& app, VerifyRequest& request);

// EXIT_OK when every archive is whole, EXIT_FAILED otherwise.
int RunVerify(const VerifyRequest& request);
