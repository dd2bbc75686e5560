// Starting a program: it gets exactly the arguments given, whatever they hold
// (on Windows they cross one command line that the program splits itself), and
// its status comes back; a program that is not there is told apart.
#include "file/ProgramRun.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

TEST(ProgramRun, TheProgramGetsExactlyItsArgumentsAndItsStatusComesBack)
{
    testsupport::ScratchFolder folder;
    const std::string log = folder / "arguments.log";
    const std::vector<std::string> given = {"plain",       "two words",       "",
                                            "quote\"in",   "trailing\\",      "back\\\\slashes\\\"",
                                            "\"quoted\"", "tab\tand space "};
    std::vector<std::string> arguments = {ARGUMENT_ECHO, log};
    arguments.insert(arguments.end(), given.begin(), given.end());

    const ProgramRun run = RunProgram(arguments);
    ASSERT_EQ(run.startError, 0);
    EXPECT_EQ(run.status, static_cast<int>(given.size()));
    std::ifstream file(log, std::ios::binary);
    const std::string received{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<std::string> split;
    for (size_t start = 0; start < received.size();) {
        const size_t end = received.find('\0', start);
        split.push_back(received.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(split, given);

    const std::string nowhere = folder / "no such program";
    const ProgramRun missing = RunProgram({nowhere});
    EXPECT_NE(missing.startError, 0);
    EXPECT_TRUE(missing.notFound);
    EXPECT_EQ(missing.missing, nowhere);
}

} // namespace
