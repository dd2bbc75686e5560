// Removal of temporary files at SIGINT, SIGTERM, SIGHUP and SIGQUIT.
#include "file/BackEnd.h"
#include "file/InterruptCleanup.h"

#include <atomic>
#include <csignal>
#include <pthread.h>
#include <cstring>
#include <unistd.h>

namespace {

const int CLEANUP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// A handler may only use fixed storage. A slot is armed only once its path is whole.
struct Slot {
    char path[TEMPORARY_PATH_BYTES];
    volatile sig_atomic_t armed;
};
Slot g_slots[TEMPORARY_SLOTS];

sigset_t g_heldFrom;

sigset_t CleanupSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (int signalNumber : CLEANUP_SIGNALS)
        sigaddset(&signals, signalNumber);
    return signals;
}

void RemoveAndReraise(int signalNumber)
{
    for (Slot& slot : g_slots)
        if (slot.armed)
            ::unlink(slot.path);
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
    for (int signalNumber : CLEANUP_SIGNALS) {
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveAndReraise;
        action.sa_mask = CleanupSignals();
        sigaction(signalNumber, &action, nullptr);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

void KeepInterruptsFromThisThread()
{
    const sigset_t kept = CleanupSignals();
    pthread_sigmask(SIG_BLOCK, &kept, nullptr);
}

// Only this thread's mask: sigprocmask's effect in a program with threads is
// left open by POSIX.
void HoldInterrupts()
{
    const sigset_t held = CleanupSignals();
    pthread_sigmask(SIG_BLOCK, &held, &g_heldFrom);
}

void ReleaseInterrupts()
{
    pthread_sigmask(SIG_SETMASK, &g_heldFrom, nullptr);
}

bool RememberTemporary(const std::string& path)
{
    InstallInterruptCleanup();
    if (path.size() >= sizeof g_slots[0].path)
        return false;
    for (Slot& slot : g_slots) {
        if (slot.armed)
            continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        std::atomic_signal_fence(std::memory_order_seq_cst);   // the path is whole before it is armed
        slot.armed = 1;
        return true;
    }
    return false;
}

void ForgetTemporary(const std::string& path)
{
    for (Slot& slot : g_slots)
        if (slot.armed && path == slot.path)
            slot.armed = 0;
}
