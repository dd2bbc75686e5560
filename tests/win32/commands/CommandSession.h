#pragma once
// Drives the real main window through its commands as a user would: the window
// runs modally, the test's script runs inside its modal loop, buttons are clicked,
// the system's own file dialogs get a path typed into their name box and their
// Open or Save button pressed, and every "Error" box is answered with OK and kept
// for the test to look at. Progress windows are watched as they come and go.
//
//   CommandSession session(folder);         // folder: the game's data folder
//   session.Run([&] {
//       session.Browse(folder + "disc2.pak");
//       session.SelectRow(11);
//       session.Extract(folder + "out.bik");
//   });
//
// Every command call returns when the command has ended. One session at a time.
#include "ui/ViewerDlg.h"

#include "GameRegistryKey.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace wintest {
class ModalDriver;
}

class CommandSession {
public:
    // The folder (with its trailing backslash) goes into the registry as the game's
    // data folder, so the window opens there without its "not found" box.
    explicit CommandSession(const std::string& dataFolder);
    ~CommandSession();
    CommandSession(const CommandSession&) = delete;
    CommandSession& operator=(const CommandSession&) = delete;

    // Opens the window modally, runs script once it is up, then presses "Exit" and
    // returns when the window is gone. A box the script did not take with TakeBoxes
    // fails the test.
    void Run(const std::function<void()>& script);

    CViewerDlg& Dlg() { return m_dlg; }
    HWND Window() const { return m_dlg.m_hWnd; }

    // --- commands (each returns when the command has ended) ---

    // Clicks a button when it is enabled, as the user would; false when it is not.
    bool Click(int nID);
    // "..." and then the open dialog: type into the name box and press Open.
    void Browse(const std::string& typed);
    void CancelBrowse();
    // "Extract..." and then the save dialog; an overwrite prompt is answered Yes.
    void Extract(const std::string& typed);
    void CancelExtract();

    // --- the window's state ---

    void SelectRow(int nRow);        // selects the row and puts the selection mark on it
    void ClearSelection();
    int RowCount() const;
    std::vector<std::string> Row(int nRow) const;   // the four column texts
    std::string Text(int nID) const;
    bool IsEnabled(int nID) const;   // IDC_... of the main window, or 0 for the window itself
    // IDC_CLIPLIST, IDC_HIRES, IDC_LORES, IDC_VIEW, IDC_EXTRACT all enabled.
    bool StepTwoEnabled() const;

    // --- what the file dialogs showed ---

    struct FileDialogSeen {
        std::string caption;
        std::string folder;   // the folder it opened in
        std::string name;     // the proposed file name
    };
    // Every file dialog shown, oldest first.
    const std::vector<FileDialogSeen>& FileDialogs() const { return m_fileDialogs; }

    // --- boxes ---

    struct BoxSeen {
        std::string text;        // the caption, then the text lines
        // A progress window (which holds the main window disabled) was up meanwhile.
        // The main window's own state says nothing here: a box disables its owner.
        bool bProgressUp;
    };
    // The "Error" boxes seen since the last call.
    std::vector<BoxSeen> TakeBoxes();
    // How often the save dialog asked whether to replace a file (answered Yes).
    int ReplacePrompts() const { return m_nReplacePrompts; }

    // --- progress windows ---

    struct ProgressSeen {
        std::string status;            // the status line at the last position report or the end
        int nLower = 0;                // the last 32-bit range given
        int nUpper = 0;
        std::vector<int> positions;    // each report after the 32-bit range was given
        bool bOwnerDisabledThroughout = true;   // at creation and at every report
        bool bDestroyed = false;
    };
    // Every progress window shown, oldest first.
    const std::vector<ProgressSeen>& Progress() const { return m_progress; }
    // Called at each position report, before the bar moves (e.g. for a screenshot).
    void OnReport(std::function<void(HWND hProgress, int nPos)> action) { m_onReport = std::move(action); }

private:
    void RunCommand(int nID, std::function<void(HWND)> fileDialogAction);
    void OnFileDialog(HWND hDlg);
    void OnBox(HWND hBox);
    void WatchMessage(const CWPSTRUCT& message);
    static LRESULT CALLBACK CallWndHook(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK StartScript(HWND, UINT, UINT_PTR, DWORD);

    GameRegistryKey m_key;
    CViewerDlg m_dlg;
    std::unique_ptr<wintest::ModalDriver> m_driver;
    std::function<void()> m_script;
    std::function<void(HWND)> m_fileDialogAction;
    std::function<void(HWND, int)> m_onReport;
    std::vector<FileDialogSeen> m_fileDialogs;
    std::vector<BoxSeen> m_boxes;
    std::vector<ProgressSeen> m_progress;
    int m_nReplacePrompts = 0;
    HWND m_hProgress = NULL;   // the progress window that is up, if any
    bool m_bRangeGiven = false;
    HHOOK m_hHook = NULL;
    UINT_PTR m_nStartTimer = 0;
};
