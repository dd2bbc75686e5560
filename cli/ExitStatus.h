#pragma once
// How zodovu-cli ends.
enum ExitStatus {
    EXIT_OK = 0,
    EXIT_FAILED = 1,   // a refused archive or a failed operation
    EXIT_USAGE = 2,
    // The reader of standard output went away (a pipe into head): the status a
    // shell gives a program that SIGPIPE ended, 128 + 13, on every system.
    EXIT_READER_GONE = 141,
};
