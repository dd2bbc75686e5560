#include "TerminalProgress.h"

#include <cstdio>
#include <unistd.h>

namespace {
constexpr int BAR_WIDTH = 30;
constexpr double MIB = 1048576.0;
} // namespace

CTerminalProgress::CTerminalProgress(const std::string& name, uint32_t total)
    : m_strName(name), m_nTotal(total), m_bEnabled(::isatty(STDERR_FILENO) == 1)
{
}

CTerminalProgress::~CTerminalProgress()
{
    if (m_bDrawn)
        std::fputc('\n', stderr);
}

void CTerminalProgress::Report(uint32_t copied)
{
    if (!m_bEnabled || m_nTotal == 0)
        return;
    const double fraction = static_cast<double>(copied) / m_nTotal;
    const int filled = static_cast<int>(fraction * BAR_WIDTH);
    char bar[BAR_WIDTH + 1];
    for (int i = 0; i < BAR_WIDTH; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[BAR_WIDTH] = '\0';
    std::fprintf(stderr, "\rExtracting %s [%s] %3d%% %.1f/%.1fM", m_strName.c_str(), bar,
                 static_cast<int>(fraction * 100), copied / MIB, m_nTotal / MIB);
    std::fflush(stderr);
    m_bDrawn = true;
}
