// The standard streams on POSIX descriptors 0, 1 and 2.
#include "file/Console.h"
#include "file/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

unsigned g_closedAtStart = 0;

} // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

unsigned OpenClosedStandardStreams()
{
    unsigned& closed = g_closedAtStart;
    for (int stream = STANDARD_INPUT; stream <= STANDARD_ERROR; ++stream) {
        if (::fcntl(stream, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open takes the lowest free number: this one, as the lower ones are open.
        if (::open("/dev/null", O_RDWR) == stream)
            closed |= 1u << stream;
    }
    return closed;
}

bool IsTerminal(int stream)
{
    return ::isatty(stream) == 1;
}

int TerminalColumns(int stream)
{
    struct winsize size {};
    if (::ioctl(stream, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

void WriteText(int stream, const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t written = ::write(stream, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        done += static_cast<size_t>(written);
    }
}

void AttachStandardStream(int stream, CFile& file, const std::string& name)
{
    if (g_closedAtStart & (1u << stream))
        ThrowSystemError(EBADF, name);
    const int own = ::fcntl(stream, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        ThrowLastSystemError(name);
    file.Attach(own, name);
}
