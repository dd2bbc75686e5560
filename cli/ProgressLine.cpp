#include "cli/ProgressLine.h"

#include "catalogue/ClipTexts.h"
#include "cli/TerminalText.h"
#include "file/Console.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr size_t BAR_WIDTH = 20;
constexpr size_t MIN_BAR_WIDTH = 10;
constexpr size_t MIN_NAME_WIDTH = 8;      // the least of a file name shown
constexpr size_t MIN_FOLDERS_WIDTH = 4;   // ".../"
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

// text in at most width columns: its start and its end, "..." between.
std::string Shortened(const std::string& text, size_t width)
{
    const size_t columns = Columns(text);
    if (columns <= width)
        return text;
    if (width <= sizeof ELLIPSIS - 1)
        return std::string(ELLIPSIS, width);
    const size_t kept = width - (sizeof ELLIPSIS - 1);
    const size_t head = kept / 2;
    const size_t tail = kept - head;
    return text.substr(0, ByteOfColumn(text, head)) + ELLIPSIS + text.substr(ByteOfColumn(text, columns - tail));
}

// How far a name may give way: not at all, its folders (the middle of them),
// or its file name too, down to MIN_NAME_WIDTH.
enum class NameCut { None, Folders, FileName };

// name in at most width columns, cut no further than cut allows; empty when
// it cannot fit. The file name, at the end, tells the disc and the clip; the
// folders before it tell least.
std::string FittedName(const std::string& name, size_t width, NameCut cut)
{
    if (Columns(name) <= width)
        return name;
    if (cut == NameCut::None)
        return std::string();
    const size_t slash = name.find_last_of("/\\");
    const std::string folders = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    const std::string file = name.substr(folders.size());
    const size_t fileColumns = Columns(file);
    if (!folders.empty() && width >= fileColumns + MIN_FOLDERS_WIDTH)
        return Shortened(folders, width - fileColumns) + file;
    if (cut == NameCut::FileName && width >= MIN_NAME_WIDTH)
        return Shortened(file, width);
    return std::string();
}

// Done of total, never past the whole: a count that overshoots fills the bar and no more.
double Fraction(const ProgressFigures& counts)
{
    return counts.total == 0 || counts.done >= counts.total ? 1.0 : static_cast<double>(counts.done) / counts.total;
}

// The figures after the bar; without their decoration (the units' words) when plain.
std::string FiguresText(const ProgressFigures& counts, bool plain)
{
    const double fraction = Fraction(counts);
    const auto count = [&counts](uint64_t value) {
        return counts.bytes ? FormatMebibytes(value) : std::to_string(value);
    };
    char percent[16];
    std::snprintf(percent, sizeof percent, " %3d%% ", static_cast<int>(fraction * 100));
    std::string figures = percent + count(counts.done) + "/" + count(counts.total);
    if (!plain && !counts.bytes && !counts.unit.empty())
        figures += " " + counts.unit;
    if (!counts.secondUnit.empty())
        figures += ", " + std::to_string(counts.secondDone) + "/" + std::to_string(counts.secondTotal) +
                   (plain ? "" : " " + counts.secondUnit);
    if (counts.secondsLeft >= 0)
        figures += ", " + ProgressLine::FormatDuration(counts.secondsLeft) + " left";
    return figures;
}

std::string Bar(double fraction, size_t width)
{
    std::string bar = " [" + std::string(width, '.') + "]";
    for (size_t i = 0; i < static_cast<size_t>(fraction * width); ++i)
        bar[2 + i] = '#';
    return bar;
}

} // namespace

ProgressLine::ProgressLine() : m_enabled(IsTerminal(STANDARD_ERROR)) {}

void ProgressLine::Start(const std::string& verb, uint64_t total, bool bytes)
{
    m_verb = verb;
    m_total = total;
    m_bytes = bytes;
    m_unit.clear();
    m_secondUnit.clear();
    m_secondDone = m_secondTotal = 0;
    m_timeLeft = false;
    m_lastPermille = -1;
    m_started = std::chrono::steady_clock::now();
}

void ProgressLine::SetName(const std::string& name)
{
    m_name = EscapedForTerminal(name);
    m_lastPermille = -1;
}

void ProgressLine::SetUnits(const std::string& unit, const std::string& secondUnit, bool timeLeft)
{
    m_unit = unit;
    m_secondUnit = secondUnit;
    m_timeLeft = timeLeft;
}

std::string ProgressLine::FormatDuration(int64_t seconds)
{
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    }
    return text;
}

std::string ProgressLine::Compose(const std::string& verb, const std::string& name, uint64_t done, uint64_t total,
                                  int columns, bool bytes)
{
    ProgressFigures figures;
    figures.done = done;
    figures.total = total;
    figures.bytes = bytes;
    return Compose(verb, name, figures, columns);
}

std::string ProgressLine::Compose(const std::string& verb, const std::string& name, const ProgressFigures& counts,
                                  int columns)
{
    const double fraction = Fraction(counts);
    const size_t width = columns > 1 ? static_cast<size_t>(columns - 1) : 0;
    // What tells least gives way first: the bar narrows, the middle of the
    // name's folders goes, then the bar, the units' words, every figure but
    // the percentage, and last the file name's middle. The verb stays.
    const struct {
        bool bar;
        NameCut cut;
        bool plain;     // the figures without the units' words
        bool percent;   // the percentage alone
    } layouts[] = {
        {true, NameCut::None, false, false},     {true, NameCut::Folders, false, false},
        {false, NameCut::Folders, false, false}, {false, NameCut::Folders, true, false},
        {false, NameCut::Folders, true, true},   {false, NameCut::FileName, true, true},
    };
    for (const auto& layout : layouts) {
        std::string figures = FiguresText(counts, layout.plain);
        if (layout.percent)
            figures = figures.substr(0, figures.find('%') + 1);   // "  25%"
        const size_t fixed = Columns(verb) + 1 + Columns(figures) + (layout.bar ? MIN_BAR_WIDTH + 3 : 0);
        if (fixed > width)
            continue;
        const std::string shown = FittedName(name, width - fixed, layout.cut);
        if (shown.empty() && !name.empty())
            continue;
        const size_t barWidth = layout.bar ? std::min(BAR_WIDTH, width - fixed + MIN_BAR_WIDTH - Columns(shown)) : 0;
        return verb + " " + shown + (layout.bar ? Bar(fraction, barWidth) : "") + figures;
    }
    // Narrower than the verb and the percentage with a few letters of the
    // name: the start of the file name, which names the disc.
    const std::string line = verb + " " + name.substr(name.find_last_of("/\\") + 1);
    return Columns(line) > width ? line.substr(0, ByteOfColumn(line, width)) : line;
}

void ProgressLine::Report(uint64_t done, uint64_t secondDone, uint64_t secondTotal)
{
    if (secondDone != m_secondDone || secondTotal != m_secondTotal)
        m_lastPermille = -1;
    m_secondDone = secondDone;
    m_secondTotal = secondTotal;
    Report(done);
}

void ProgressLine::Report(uint64_t done)
{
    if (!m_enabled)
        return;
    const int permille = m_total == 0 ? 1000 : static_cast<int>(done * 1000 / m_total);
    int64_t secondsLeft = -1;
    if (m_timeLeft && done > 0 && done < m_total) {
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
        if (elapsed >= 1)
            secondsLeft = static_cast<int64_t>(elapsed * static_cast<double>(m_total - done) / done + 0.5);
    }
    if (m_drawn && permille == m_lastPermille && secondsLeft == m_lastSecondsLeft)
        return;
    m_lastPermille = permille;
    m_lastSecondsLeft = secondsLeft;
    int columns = TerminalColumns(STANDARD_ERROR);
    if (columns <= 0)
        columns = DEFAULT_COLUMNS;
    ProgressFigures figures;
    figures.done = done;
    figures.total = m_total;
    figures.bytes = m_bytes;
    figures.unit = m_unit;
    figures.secondUnit = m_secondUnit;
    figures.secondDone = m_secondDone;
    figures.secondTotal = m_secondTotal;
    figures.secondsLeft = secondsLeft;
    // Blanks over what is left of a longer line: every terminal knows them,
    // where the escape that erases a line is not known to every console.
    const std::string line = Compose(m_verb, m_name, figures, columns);
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
