#include "PseudoTerminal.h"

#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    m_slavePath = ::ptsname(m_master);
    m_slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    struct termios mode;
    if (m_slave < 0 || ::tcgetattr(m_slave, &mode) != 0)
        throw std::runtime_error("cannot open " + m_slavePath);
    ::cfmakeraw(&mode);
    ::tcsetattr(m_slave, TCSANOW, &mode);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

void PseudoTerminal::SetColumns(int columns)
{
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(columns);
    ::ioctl(m_master, TIOCSWINSZ, &size);
}

PseudoTerminal::~PseudoTerminal()
{
    ::close(m_slave);
    ::close(m_master);
}

std::string PseudoTerminal::ReadAll()
{
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

void PseudoTerminal::StopOutput()
{
    ::tcflow(m_slave, TCOOFF);
}

void PseudoTerminal::StartOutput()
{
    ::tcflow(m_slave, TCOON);
}
