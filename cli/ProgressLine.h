#pragma once
// One line on standard error that shows how far the work is: the name of the
// file being written, a bar and the megabytes done. It is drawn only while
// standard error is a terminal, so that scripts and logs never see it; it fits
// the terminal's width (the name is shortened in the middle), is redrawn in
// place, and is cleared before anything else is written.
#include <cstdint>
#include <string>

class ProgressLine {
public:
    ProgressLine();
    void Disable() { m_enabled = false; }

    // total counts bytes, shown in mebibytes, or things (clips, frames), shown as they are.
    void Start(const std::string& verb, uint64_t total, bool bytes = true);
    void SetName(const std::string& name)
    {
        m_name = name;
        m_lastPermille = -1;
    }
    void Report(uint64_t done);
    // Erases the line if it is drawn; the next report draws it anew.
    void Clear();

    // The line for a terminal of columns: never wider than columns - 1, so
    // that no terminal wraps it.
    static std::string Compose(const std::string& verb, const std::string& name, uint64_t done, uint64_t total,
                               int columns, bool bytes = true);

private:
    std::string m_verb;
    std::string m_name;
    uint64_t m_total = 0;
    bool m_bytes = true;
    bool m_enabled;
    bool m_drawn = false;
    size_t m_drawnColumns = 0;   // how wide the line on the terminal is
    int m_lastPermille = -1;   // the last thousandth drawn, so that a line is not drawn twice
};
