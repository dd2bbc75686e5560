#include "Pump.h"

namespace wintest {

namespace {

void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        HWND hActive = ::GetActiveWindow();
        if (hActive != NULL && ::IsDialogMessageA(hActive, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

} // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD dwTimeoutMs)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;) {
        PumpPending();
        if (done())
            return true;
        if (::GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD dwMs)
{
    PumpUntil([] { return false; }, dwMs);
}

void ClickButton(HWND hButton)
{
    ::PostMessageA(hButton, BM_CLICK, 0, 0);
}

void ClickDlgButton(HWND hDlg, int nID)
{
    ClickButton(::GetDlgItem(hDlg, nID));
}

void PressKey(HWND hTarget, UINT nVirtualKey)
{
    const UINT nScan = ::MapVirtualKeyA(nVirtualKey, 0);
    ::PostMessageA(hTarget, WM_KEYDOWN, nVirtualKey, 1 | (nScan << 16));
    ::PostMessageA(hTarget, WM_KEYUP, nVirtualKey, 1 | (nScan << 16) | 0xC0000000u);
}

} // namespace wintest
