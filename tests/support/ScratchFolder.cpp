#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace testsupport {

namespace {

std::string CurrentTestName()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

} // namespace

ScratchFolder::ScratchFolder() : TempFolder(CurrentTestName())
{
}

} // namespace testsupport
