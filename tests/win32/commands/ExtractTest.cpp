// The "Extract..." command and its copy: the proposed names, the save dialog,
// byte-exact output in 1 MiB chunks with a report each, and the failures that
// stop a copy without leaving the window disabled or claiming success.
#include <gtest/gtest.h>

#include "CommandSession.h"
#include "DemoArchives.h"
#include "ScratchFolder.h"
#include "TestWindows.h"
#include "WinTest.h"

namespace {
}  // namespace
