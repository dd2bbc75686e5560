#include "file/ProgramRun.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The program a SIGTERM or SIGHUP is passed on to, once it runs.
volatile sig_atomic_t g_child = 0;

void PassOn(int signalNumber)
{
    if (g_child > 0)
        ::kill(static_cast<pid_t>(g_child), signalNumber);
}

// Sets a signal's disposition for the lifetime of the object, unless the tool
// was started with the signal ignored.
class SignalDisposition {
public:
    SignalDisposition(int signalNumber, void (*handler)(int)) : m_signal(signalNumber)
    {
        ::sigaction(m_signal, nullptr, &m_previous);
        if (WasIgnored() && handler != SIG_DFL)
            return;
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        ::sigaction(m_signal, &action, nullptr);
    }
    ~SignalDisposition() { ::sigaction(m_signal, &m_previous, nullptr); }
    SignalDisposition(const SignalDisposition&) = delete;
    SignalDisposition& operator=(const SignalDisposition&) = delete;

    bool WasIgnored() const { return !(m_previous.sa_flags & SA_SIGINFO) && m_previous.sa_handler == SIG_IGN; }
    int Signal() const { return m_signal; }

private:
    int m_signal;
    struct sigaction m_previous;
};

// Where the program is, as execvp would find it; empty when nowhere.
std::string Locate(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return ::access(program.c_str(), F_OK) == 0 ? program : std::string();
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (size_t start = 0;;) {
        const size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        struct stat info;
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            return std::string();
        start = end + 1;
    }
}

// The interpreter a "#!" line names; empty when the file has no such line.
std::string Interpreter(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line.compare(0, 2, "#!") != 0)
        return std::string();
    const size_t start = line.find_first_not_of(" \t", 2);
    if (start == std::string::npos)
        return std::string();
    return line.substr(start, line.find_first_of(" \t\r", start) - start);
}

int Spawn(pid_t& pid, const std::vector<std::string>& arguments, const posix_spawnattr_t& attributes)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return ::posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
}

} // namespace

std::string OwnProgramPath()
{
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", &path[0], path.size());
    if (length <= 0 || static_cast<size_t>(length) >= path.size())
        return std::string();
    path.resize(static_cast<size_t>(length));
    return path;
}

long ReplaceProgram(const std::string& path, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(path.c_str(), argv.data());
    return errno;
}

ProgramRun RunProgram(const std::vector<std::string>& arguments)
{
    const SignalDisposition interrupt(SIGINT, SIG_IGN);
    const SignalDisposition quit(SIGQUIT, SIG_IGN);
    const SignalDisposition terminate(SIGTERM, PassOn);
    const SignalDisposition hangUp(SIGHUP, PassOn);
    // With SIGCHLD ignored the system reaps the child itself and its status is lost.
    const SignalDisposition child(SIGCHLD, SIG_DFL);

    // The program starts with the tool's own dispositions, but for those the
    // tool only borrowed; a signal ignored at the tool's start stays ignored.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const SignalDisposition* disposition : {&interrupt, &quit, &terminate, &hangUp})
        if (!disposition->WasIgnored())
            sigaddset(&defaults, disposition->Signal());
    // SIGTERM and SIGHUP wait until the program's number is known.
    sigset_t passedOn, previous;
    sigemptyset(&passedOn);
    sigaddset(&passedOn, SIGTERM);
    sigaddset(&passedOn, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &passedOn, &previous);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &previous);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    ProgramRun run;
    pid_t pid = 0;
    run.startError = Spawn(pid, arguments, attributes);
    if (run.startError == ENOEXEC) {
        // No program the system runs: a script without "#!", which a shell runs itself.
        std::vector<std::string> shell{"/bin/sh", Locate(arguments[0])};
        shell.insert(shell.end(), arguments.begin() + 1, arguments.end());
        run.startError = Spawn(pid, shell, attributes);
    }
    posix_spawnattr_destroy(&attributes);
    if (run.startError == 0)
        g_child = pid;
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);

    if (run.startError == ENOENT) {
        const std::string found = Locate(arguments[0]);
        run.notFound = true;
        run.missing = found.empty() ? arguments[0] : Interpreter(found);
        if (run.missing.empty())
            run.missing = arguments[0];
    }
    if (run.startError != 0)
        return run;

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            run.waitError = errno;
            break;
        }
    }
    g_child = 0;
    if (run.waitError == 0)
        run.status = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    return run;
}
