#include "TerminalProgress.h"

#include <cstdio>
#include <unistd.h>

namespace {
constexpr int BAR_WIDTH = 30;
constexpr double MIB = 1048576.0;
} // namespace

CTerminalProgress::CTerminalProgress(uint64_t total, bool wanted)
    : m_total(total), m_enabled(wanted && ::isatty(STDERR_FILENO) == 1)
{
}

CTerminalProgress::~CTerminalProgress()
{
    BreakLine();
}

void CTerminalProgress::BreakLine()
{
    if (m_drawn)
        std::fputc('\n', stderr);
    m_drawn = false;
}

void CTerminalProgress::Report(uint64_t done)
{
    if (!m_enabled || m_total == 0)
        return;
    const double fraction = static_cast<double>(done) / m_total;
    const int filled = static_cast<int>(fraction * BAR_WIDTH);
    char bar[BAR_WIDTH + 1];
    for (int i = 0; i < BAR_WIDTH; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[BAR_WIDTH] = '\0';
    std::fprintf(stderr, "\r\033[KExtracting %s [%s] %3d%% %.1f/%.1fM", m_name.c_str(), bar,
                 static_cast<int>(fraction * 100), done / MIB, m_total / MIB);
    std::fflush(stderr);
    m_drawn = true;
}
