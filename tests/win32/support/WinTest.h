#pragma once
// The fixture of every Windows test: arms the watchdog for the test, and fails it
// for every box that the watchdog had to close.
#include <gtest/gtest.h>

namespace wintest {

class WinTest : public ::testing::Test {
protected:
    // Each test may run this long before the watchdog ends the program.
    static const unsigned kTimeoutMs = 20000;

    void SetUp() override;
    void TearDown() override;
    // Fails the test now for each unexpected box seen so far.
    static void ExpectNoUnexpectedBoxes();
};

} // namespace wintest
