#pragma once
// The command line cannot be run as it stands: said in the tool's words with
// the usage lines, and ended with EXIT_USAGE. One found only once the archive
// is read (a clip number past its last clip) is thrown by the subcommand and
// reported in the same way.
#include <stdexcept>

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A subcommand that this build does not have (a build without FFmpeg's
// libraries decodes nothing): said in one line, with a usage error's status.
class NotInThisBuild : public UsageError {
public:
    using UsageError::UsageError;
};
