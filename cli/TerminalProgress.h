#pragma once
// A one-line progress bar on stderr for a copy, drawn only while stderr is a
// terminal, so that scripts and logs never see it.
#include <cstdint>
#include <string>

class CTerminalProgress {
public:
    CTerminalProgress(const std::string& name, uint32_t total);
    ~CTerminalProgress();   // ends the line if a bar was drawn

    void Report(uint32_t copied);

private:
    std::string m_strName;
    uint32_t m_nTotal;
    bool m_bEnabled;
    bool m_bDrawn = false;
};
