#pragma once
// One line on standard error that shows how far the work is: the name of the
// file being written, a bar and the megabytes done (or the things done, with a
// second count beside them and the time left). It is drawn only while
// standard error is a terminal, so that scripts and logs never see it; it fits
// the terminal's width (what tells least giving way first: Compose), is
// redrawn in place, and is cleared before anything else is written.
#include <chrono>
#include <cstdint>
#include <string>

// The figures after the bar: " 25% 1.2M/4.8M", or " 25% 300/1200 frames,
// 2/8 files, 1:05 left" for things with a second count and the time left.
struct ProgressFigures {
    uint64_t done = 0;
    uint64_t total = 0;
    bool bytes = true;
    std::string unit;            // after things counted; none after bytes
    std::string secondUnit;      // empty: no second count
    uint64_t secondDone = 0;
    uint64_t secondTotal = 0;
    int64_t secondsLeft = -1;    // -1: not shown
};

class ProgressLine {
public:
    ProgressLine();
    void Disable() { m_enabled = false; }

    // total counts bytes, shown in mebibytes, or things (clips, frames), shown as they are.
    void Start(const std::string& verb, uint64_t total, bool bytes = true);
    // The name is drawn with its unprintable bytes escaped, as every name the
    // tool shows on a terminal.
    void SetName(const std::string& name);
    // For things counted (Start with bytes false): their unit ("frames"), the
    // unit of a second count reported beside them ("files"; empty for none),
    // and whether the time left is shown, from the pace since Start.
    void SetUnits(const std::string& unit, const std::string& secondUnit, bool timeLeft);
    void Report(uint64_t done);
    void Report(uint64_t done, uint64_t secondDone, uint64_t secondTotal);
    // Erases the line if it is drawn; the next report draws it anew.
    void Clear();

    // The line for a terminal of columns: never wider than columns - 1, so
    // that no terminal wraps it.
    static std::string Compose(const std::string& verb, const std::string& name, uint64_t done, uint64_t total,
                               int columns, bool bytes = true);
    static std::string Compose(const std::string& verb, const std::string& name, const ProgressFigures& figures,
                               int columns);
    // "0:42", "12:05", "1:02:03".
    static std::string FormatDuration(int64_t seconds);

private:
    std::string m_verb;
    std::string m_name;
    uint64_t m_total = 0;
    bool m_bytes = true;
    bool m_enabled;
    bool m_drawn = false;
    size_t m_drawnColumns = 0;   // how wide the line on the terminal is
    int m_lastPermille = -1;   // the last thousandth drawn, so that a line is not drawn twice
    std::string m_unit;
    std::string m_secondUnit;
    uint64_t m_secondDone = 0;
    uint64_t m_secondTotal = 0;
    bool m_timeLeft = false;
    int64_t m_lastSecondsLeft = -1;
    std::chrono::steady_clock::time_point m_started;
};
