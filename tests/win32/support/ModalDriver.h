#pragma once
// Acts inside modal loops. While a ModalDriver lives, a thread timer looks every
// 50 ms for new top-level dialogs of this thread with a caption it was told
// about, and calls their action once per window. The timer runs from whatever
// loop the thread is in: DoModal, a message box, a file dialog. Actions should
// post (clicks, keys) rather than start modal loops of their own. The captions
// are declared to the watchdog as expected while the driver lives.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wintest {

class ModalDriver {
public:
    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    void On(const std::string& caption, std::function<void(HWND)> action);
    // How many windows with this caption were acted on; and their texts.
    int Count(const std::string& caption) const;
    const std::vector<std::string>& Texts() const { return m_texts; }

    // Actions for common cases: press a button of the box; type a path into a
    // file dialog's name field and press its OK button.
    static void PressButton(HWND hDlg, int nID);
    static void ChooseFile(HWND hFileDlg, const std::string& path);

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Look();

    struct Rule {
        std::string caption;
        std::function<void(HWND)> action;
        int nCount;
    };
    std::vector<Rule> m_rules;
    std::vector<HWND> m_handled;
    std::vector<std::string> m_texts;
    UINT_PTR m_nTimer;
    bool m_bBusy = false;
    ModalDriver* m_pOuter;
};

} // namespace wintest
