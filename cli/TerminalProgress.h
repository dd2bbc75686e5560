#pragma once
// One progress bar on stderr for a whole extract (the bytes of every selected
// clip) with the name of the file being written, drawn only while stderr is a
// terminal, so that scripts and logs never see it.
#include <cstdint>
#include <string>

class CTerminalProgress {
public:
    CTerminalProgress(uint64_t total, bool wanted);
    ~CTerminalProgress();   // ends the line if a bar was drawn

    void SetName(const std::string& name) { m_name = name; }
    void Report(uint64_t done);
    // Ends the bar's line, so that a message can be written; the next report draws anew.
    void BreakLine();

private:
    std::string m_name;
    uint64_t m_total;
    bool m_enabled;
    bool m_drawn = false;
};
