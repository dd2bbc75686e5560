#pragma once
// How zodovu-cli ends.
enum ExitStatus {
    EXIT_OK = 0,
    EXIT_FAILED = 1,   // a refused archive or a failed operation
    EXIT_USAGE = 2,
};
