#pragma once
// zodovu-cli extract ARCHIVE NUMBER [--lo] [-o OUTPUT] [--force]
#include <string>

struct ExtractRequest {
    std::string strArchive;
    int nNumber = 0;             // 1-based, as the list shows it
    bool bLowResolution = false;
    std::string strOutput;       // empty: the viewer's proposed name in the current folder
    bool bForce = false;
};

int RunExtract(const ExtractRequest& request);
