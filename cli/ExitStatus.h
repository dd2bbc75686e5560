#pragma once
// The exit statuses of zodovu-cli.
enum ExitStatus {
    EXIT_OK = 0,
    EXIT_FAILED = 1,   // a rejected archive or a failed operation
    EXIT_USAGE = 2,
};
