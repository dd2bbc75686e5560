#pragma once
// A pseudo-terminal for a program's stdout or stderr: the program sees a
// terminal, the test reads what it wrote, and can stop its output as Ctrl-S would.
#include <string>

class PseudoTerminal {
public:
    PseudoTerminal();   // raw mode: what is written arrives as it was written
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const char* SlavePath() const { return m_slavePath.c_str(); }
    // The width a program asking the terminal learns.
    void SetColumns(int columns);
    // Everything written so far, without waiting for more.
    std::string ReadAll();
    // A writer blocks while the output is stopped.
    void StopOutput();
    void StartOutput();

private:
    int m_master = -1;
    int m_slave = -1;   // held open, so that the terminal outlives each program
    std::string m_slavePath;
};
