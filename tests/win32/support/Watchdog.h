#pragma once
// Keeps a Windows test from hanging. A thread of its own looks at the process's
// top-level dialog windows a few times a second: a box that no framework dialog
// made (a message box, a file dialog) and that the test did not declare is
// recorded as a failure and closed, so the code that showed it goes on. A test
// that runs past its deadline is ended with a message, whatever it is stuck in.
#include <windows.h>

#include <string>
#include <vector>

namespace wintest {

class Watchdog {
public:
    static Watchdog& Instance();

    // The running test and how long it may take; starts the thread on first use.
    void Arm(const std::string& testName, DWORD dwTimeoutMs);
    void Disarm();

    // Boxes with this caption belong to the test (a ModalDriver declares its own).
    void Allow(const std::string& caption);
    void Disallow(const std::string& caption);

    // What the unexpected boxes said since the last call: "caption: text".
    std::vector<std::string> TakeUnexpected();

    // How long a box may stay up before the watchdog acts.
    static const DWORD kGraceMs = 1500;

private:
    Watchdog();
    static DWORD WINAPI ThreadMain(LPVOID pParam);
    void Patrol();

    CRITICAL_SECTION m_lock;
    HANDLE m_hThread = NULL;
    std::string m_strTest;
    DWORD m_dwDeadline = 0;
    bool m_bArmed = false;
    std::vector<std::string> m_allowed;
    std::vector<std::string> m_unexpected;
    struct Seen {
        HWND hWnd;
        DWORD dwFirstSeen;
        int nCloseAttempts;
    };
    std::vector<Seen> m_seen;   // only touched by the watchdog's thread
};

} // namespace wintest
