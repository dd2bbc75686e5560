#include "ProgramRun.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Sets a signal's disposition for the lifetime of the object.
class SignalDisposition {
public:
    SignalDisposition(int signalNumber, void (*handler)(int)) : m_signal(signalNumber)
    {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        ::sigaction(m_signal, &action, &m_previous);
    }
    ~SignalDisposition() { ::sigaction(m_signal, &m_previous, nullptr); }
    SignalDisposition(const SignalDisposition&) = delete;
    SignalDisposition& operator=(const SignalDisposition&) = delete;

    bool WasIgnored() const
    {
        return !(m_previous.sa_flags & SA_SIGINFO) && m_previous.sa_handler == SIG_IGN;
    }

private:
    int m_signal;
    struct sigaction m_previous;
};

} // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const SignalDisposition interrupt(SIGINT, SIG_IGN);
    const SignalDisposition quit(SIGQUIT, SIG_IGN);
    // With SIGCHLD ignored the system reaps the child itself and its status is lost.
    const SignalDisposition child(SIGCHLD, SIG_DFL);

    sigset_t defaults;
    sigemptyset(&defaults);
    if (!interrupt.WasIgnored())
        sigaddset(&defaults, SIGINT);
    if (!quit.WasIgnored())
        sigaddset(&defaults, SIGQUIT);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    ProgramRun run;
    pid_t pid = 0;
    run.startError = ::posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (run.startError != 0)
        return run;

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            run.waitError = errno;
            return run;
        }
    }
    run.status = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    return run;
}
