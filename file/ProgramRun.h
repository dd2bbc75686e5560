#pragma once
// Runs a program directly, without a shell, and waits for it to end.
#include <string>
#include <vector>

struct ProgramRun {
    long startError = 0;         // the system's error when it could not be started
    bool notFound = false;       // because missing is not there:
    std::string missing;         // the program, or the interpreter its "#!" line names
    long waitError = 0;          // the system's error when its end could not be learnt
    int status = 0;              // its exit status, or 128 + N when signal N ended it
};

// arguments[0] is looked up in PATH unless it names a folder. On POSIX a file
// that is executable but no program the system runs (a script without a "#!"
// line) is run by /bin/sh, as a shell would run it; on Windows ".exe" is
// implied, and the command line is quoted so that the program's own splitting
// gives back exactly these arguments. While it runs, the terminal's Ctrl-C (and
// Ctrl-\, Ctrl+Break) are the program's to handle, and a SIGTERM or SIGHUP sent
// to the tool is passed on to it: the tool waits and passes on how the program
// ended. A signal ignored when the tool started stays ignored in the program.
ProgramRun RunProgram(const std::vector<std::string>& arguments);

// The path of the running program itself; empty when the system cannot tell.
std::string OwnProgramPath();

// Runs path with arguments in place of this program, which ends with its
// status: on POSIX the same process goes on as path (exec), with this one's
// standard streams and signals; on Windows path runs and this program waits
// and exits with its status. Returns the system's error only when path cannot
// be started.
long ReplaceProgram(const std::string& path, const std::vector<std::string>& arguments);
