#pragma once
// Files of a test's own: a scratch folder named after the running GoogleTest
// test, and the readers of what the code under test wrote there.
#include "FileContents.h"
#include "TempFolder.h"

#include <string>

namespace testsupport {

class ScratchFolder : public TempFolder {
public:
    // Named after the running test.
    ScratchFolder();
    // For a folder that outlives one test (a suite's); name tells it apart.
    explicit ScratchFolder(const std::string& name) : TempFolder(name) {}
};

} // namespace testsupport
