#pragma once
// Driving windows of the test's own thread: message pumping with a time limit,
// and clicks and keys posted as the user's would arrive.
#include <windows.h>

#include <functional>

namespace wintest {

// Handles this thread's messages until done() is true; FALSE when dwTimeoutMs
// passed first. Dialog keys go through IsDialogMessage of the active window.
bool PumpUntil(const std::function<bool()>& done, DWORD dwTimeoutMs = 5000);
void PumpFor(DWORD dwMs);

// Clicks a button as the user would (BM_CLICK, posted).
void ClickButton(HWND hButton);
void ClickDlgButton(HWND hDlg, int nID);
// The key arrives at hTarget (a control of a dialog, or the dialog) as a
// posted WM_KEYDOWN and WM_KEYUP pair.
void PressKey(HWND hTarget, UINT nVirtualKey);

} // namespace wintest
