#include "InterruptCleanup.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// Filled before the handlers can see it; a handler may only use fixed storage.
char g_szPath[4096];
volatile sig_atomic_t g_bArmed = 0;

void RemoveAndReraise(int signalNumber)
{
    if (g_bArmed)
        ::unlink(g_szPath);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void InstallHandlers()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        action.sa_handler = RemoveAndReraise;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
}

} // namespace

void RemoveOnInterrupt(const std::string& path)
{
    g_bArmed = 0;
    if (path.empty() || path.size() >= sizeof g_szPath)
        return;
    InstallHandlers();
    std::memcpy(g_szPath, path.c_str(), path.size() + 1);
    g_bArmed = 1;
}
