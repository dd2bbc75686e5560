#pragma once
// Removes one temporary file when the program is ended by SIGINT, SIGTERM, SIGHUP
// or SIGQUIT, then ends it as the signal would have. A signal the program was
// started with ignored (SIGHUP under nohup, SIGINT in a background job) stays ignored.
#include <csignal>
#include <string>

// Installs the handlers, and ignores SIGXFSZ so that a write past the file size
// limit (ulimit -f) fails with its reason and the usual cleanup runs, instead of
// the signal ending the program with the temporary file left behind.
void InstallInterruptCleanup();

// Remembers path (empty: forget it). Installs the handlers on first use.
void RemoveOnInterrupt(const std::string& path);

// Holds those signals back while it lives, so that a file created under a name
// and then remembered for removal cannot be left behind in between; a signal
// that came meanwhile arrives when the object goes.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t m_previous;
};
