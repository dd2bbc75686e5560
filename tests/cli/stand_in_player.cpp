// A stand-in for a video player. Writes what it was given to the file named by
// STAND_IN_PLAYER_LOG: its arguments from argv[0], one a line, as its own C
// runtime split them, then (on POSIX) whether SIGINT reaches it ("SIGINT
// default") or not ("SIGINT ignored"). Then ends as STAND_IN_PLAYER_EXIT says:
// a number is its exit status, "signal N" raises N, "wait" logs "waiting PID"
// and waits for a signal to end it (POSIX).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

void LogSignalsAndWait(FILE* file, const char* end)
{
#ifndef _WIN32
    struct sigaction interrupt {};
    sigaction(SIGINT, nullptr, &interrupt);
    std::fprintf(file, "SIGINT %s\n", interrupt.sa_handler == SIG_IGN ? "ignored" : "default");
    if (end && std::strcmp(end, "wait") == 0) {
        std::fprintf(file, "waiting %ld\n", static_cast<long>(getpid()));
        std::fflush(file);
        for (;;)
            pause();
    }
#else
    (void)file;
    (void)end;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    const char* end = std::getenv("STAND_IN_PLAYER_EXIT");
    if (const char* log = std::getenv("STAND_IN_PLAYER_LOG")) {
        FILE* file = std::fopen(log, "wb");   // the same line ends on every system
        if (!file)
            return 125;
        for (int i = 0; i < argc; ++i)
            std::fprintf(file, "%s\n", argv[i]);
        LogSignalsAndWait(file, end);
        if (std::fclose(file) != 0)
            return 125;
    }
    if (!end)
        return 0;
    if (std::strncmp(end, "signal ", 7) == 0) {
        const int signalNumber = std::atoi(end + 7);
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
    }
    return std::atoi(end);
}
