#pragma once
// The real zodovu.exe in a process of its own, worked from outside as a user
// would: its buttons, its own file dialogs, the list's keyboard. Every wait
// polls the windows every 2 ms; a stopwatch reading is taken at the poll that
// first sees the change.
#include <windows.h>

#include <string>

namespace bench {

double Now();   // seconds on a monotonic clock

class ViewerProcess {
public:
    // Starts the program and waits for its main window.
    explicit ViewerProcess(const std::string& exe);
    // Presses "Exit" and waits for the program to end.
    ~ViewerProcess();
    ViewerProcess(const ViewerProcess&) = delete;
    ViewerProcess& operator=(const ViewerProcess&) = delete;

    // Presses the button, types path into the file dialog it opens and presses
    // its OK button; returns the seconds from the file dialog's end to the end of
    // the progress window that follows.
    double TimedCommand(int nButton, const std::string& path);
    // Selects the first row with the Home key, as the keyboard would.
    void SelectFirstRow();
    int RowCount() const;

private:
    HWND WaitForWindow(bool (*match)(HWND), const char* what, double seconds) const;

    PROCESS_INFORMATION m_pi = {};
    HWND m_hMain = NULL;
};

} // namespace bench
