#include "ProgressLine.h"

#include "ClipTexts.h"
#include "Console.h"

#include <cstdio>

namespace {

constexpr int BAR_WIDTH = 20;
constexpr int DEFAULT_COLUMNS = 80;   // when the terminal does not say
const char ELLIPSIS[] = "...";

// Columns a UTF-8 text takes, taking each character as one.
size_t Columns(const std::string& text)
{
    size_t columns = 0;
    for (const char c : text)
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns;
}

// The byte where the first count characters end.
size_t ByteOfColumn(const std::string& text, size_t count)
{
    size_t i = 0;
    for (size_t seen = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == count)
            break;
    }
    return i;
}

// name in at most width columns: its start and its end, "..." between.
std::string Shortened(const std::string& name, size_t width)
{
    const size_t columns = Columns(name);
    if (columns <= width)
        return name;
    if (width <= sizeof ELLIPSIS - 1)
        return std::string(ELLIPSIS, width);
    const size_t kept = width - (sizeof ELLIPSIS - 1);
    const size_t head = kept / 2;
    const size_t tail = kept - head;
    return name.substr(0, ByteOfColumn(name, head)) + ELLIPSIS + name.substr(ByteOfColumn(name, columns - tail));
}

} // namespace

ProgressLine::ProgressLine() : m_enabled(IsTerminal(STANDARD_ERROR)) {}

void ProgressLine::Start(const std::string& verb, uint64_t total, bool bytes)
{
    m_verb = verb;
    m_total = total;
    m_bytes = bytes;
}

std::string ProgressLine::Compose(const std::string& verb, const std::string& name, uint64_t done, uint64_t total,
                                  int columns, bool bytes)
{
    const double fraction = total == 0 ? 1.0 : static_cast<double>(done) / total;
    char figures[64];
    std::snprintf(figures, sizeof figures, " %3d%% %s/%s", static_cast<int>(fraction * 100),
                  bytes ? FormatMebibytes(done).c_str() : std::to_string(done).c_str(),
                  bytes ? FormatMebibytes(total).c_str() : std::to_string(total).c_str());
    std::string bar = " [" + std::string(BAR_WIDTH, '.') + "]";
    for (int i = 0; i < static_cast<int>(fraction * BAR_WIDTH); ++i)
        bar[2 + i] = '#';

    const size_t width = columns > 1 ? static_cast<size_t>(columns - 1) : 0;
    std::string fixed = bar + figures;
    if (verb.size() + 1 + 8 + fixed.size() > width)
        fixed = figures;   // a narrow terminal: the figures without the bar
    const size_t room = width > verb.size() + 1 + fixed.size() ? width - verb.size() - 1 - fixed.size() : 0;
    std::string line = verb + " " + Shortened(name, room) + fixed;
    if (Columns(line) > width)
        line = line.substr(0, ByteOfColumn(line, width));
    return line;
}

void ProgressLine::Report(uint64_t done)
{
    if (!m_enabled)
        return;
    const int permille = m_total == 0 ? 1000 : static_cast<int>(done * 1000 / m_total);
    if (m_drawn && permille == m_lastPermille)
        return;
    m_lastPermille = permille;
    int columns = TerminalColumns(STANDARD_ERROR);
    if (columns <= 0)
        columns = DEFAULT_COLUMNS;
    // Blanks over what is left of a longer line: every terminal knows them,
    // where the escape that erases a line is not known to every console.
    const std::string line = Compose(m_verb, m_name, done, m_total, columns, m_bytes);
    const size_t shown = Columns(line);
    WriteText(STANDARD_ERROR, "\r" + line + std::string(m_drawnColumns > shown ? m_drawnColumns - shown : 0, ' '));
    m_drawnColumns = shown;
    m_drawn = true;
}

void ProgressLine::Clear()
{
    if (!m_drawn)
        return;
    WriteText(STANDARD_ERROR, "\r" + std::string(m_drawnColumns, ' ') + "\r");
    m_drawn = false;
    m_drawnColumns = 0;
}
