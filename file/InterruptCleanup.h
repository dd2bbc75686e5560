#pragma once
// Temporary files must not outlive the program. While one is being written it is
// removed when the program is ended by SIGINT, SIGTERM, SIGHUP or SIGQUIT (on
// Windows by Ctrl+C, Ctrl+Break or the closing of its console window), and the
// program then ends as that signal would have ended it. A signal that the
// program was started with ignored (SIGHUP under nohup) stays ignored.

// Installs the handlers once, and ignores SIGXFSZ, so that a write past the
// file size limit (ulimit -f) fails with its reason and the usual cleanup runs
// instead of the signal ending the program with the temporary file left behind.
// The output file class calls it itself; a program may call it early.
void InstallInterruptCleanup();

// For a worker thread that creates and removes no temporary file itself: the
// signals are never handled on it, but on a thread that does, which holds them
// back while it creates one; so a signal cannot end the program between the
// creation of a temporary file and its being remembered for removal. (On
// Windows the handler has a thread of its own and a lock: nothing to do.)
void KeepInterruptsFromThisThread();
