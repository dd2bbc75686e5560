#include "InterruptCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// Filled before the handlers can see it; a handler may only use fixed storage.
char g_path[4096];
volatile sig_atomic_t g_armed = 0;

void RemoveAndReraise(int signalNumber)
{
    if (g_armed)
        ::unlink(g_path);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

} // namespace

void InstallInterruptCleanup()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveAndReraise;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

void RemoveOnInterrupt(const std::string& path)
{
    g_armed = 0;
    if (path.empty() || path.size() >= sizeof g_path)
        return;
    InstallInterruptCleanup();
    std::memcpy(g_path, path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);   // the path is whole before it is armed
    g_armed = 1;
}

SignalsHeld::SignalsHeld()
{
    sigset_t held;
    sigemptyset(&held);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&held, signalNumber);
    sigprocmask(SIG_BLOCK, &held, &m_previous);
}

SignalsHeld::~SignalsHeld()
{
    sigprocmask(SIG_SETMASK, &m_previous, nullptr);
}
