#include "ModalDriver.h"

#include "Pump.h"
#include "Watchdog.h"
#include "WindowText.h"

#include <algorithm>

namespace wintest {

namespace {
ModalDriver* g_pDriver = nullptr;
}

ModalDriver::ModalDriver() : m_pOuter(g_pDriver)
{
    g_pDriver = this;
    m_nTimer = ::SetTimer(NULL, 0, 50, OnTimer);
}

ModalDriver::~ModalDriver()
{
    ::KillTimer(NULL, m_nTimer);
    for (const Rule& rule : m_rules)
        Watchdog::Instance().Disallow(rule.caption);
    g_pDriver = m_pOuter;
}

void ModalDriver::On(const std::string& caption, std::function<void(HWND)> action)
{
    m_rules.push_back(Rule{caption, std::move(action), 0});
    Watchdog::Instance().Allow(caption);
}

int ModalDriver::Count(const std::string& caption) const
{
    int nCount = 0;
    for (const Rule& rule : m_rules)
        if (rule.caption == caption)
            nCount += rule.nCount;
    return nCount;
}

void CALLBACK ModalDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pDriver != nullptr)
        g_pDriver->Look();
}

void ModalDriver::Look()
{
    if (m_bBusy)
        return;
    m_bBusy = true;
    for (HWND hWnd : ProcessWindows("#32770")) {
        if (::GetWindowThreadProcessId(hWnd, NULL) != ::GetCurrentThreadId())
            continue;
        if (std::find(m_handled.begin(), m_handled.end(), hWnd) != m_handled.end())
            continue;
        const std::string caption = WindowText(hWnd);
        for (Rule& rule : m_rules) {
            if (rule.caption != caption)
                continue;
            m_handled.push_back(hWnd);
            m_texts.push_back(DialogText(hWnd));
            ++rule.nCount;
            rule.action(hWnd);
            break;
        }
    }
    // Forget windows that are gone: their handles may come back for new ones.
    m_handled.erase(std::remove_if(m_handled.begin(), m_handled.end(), [](HWND h) { return !::IsWindow(h); }),
                    m_handled.end());
    m_bBusy = false;
}

void ModalDriver::PressButton(HWND hDlg, int nID)
{
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, nID)));
}

void ModalDriver::ChooseFile(HWND hFileDlg, const std::string& path)
{
    // The name field is an edit (edt1) or, in the explorer style, a combo box (cmb13).
    const int aNameFields[] = {0x480, 0x47c};
    for (int nID : aNameFields)
        if (HWND hField = ::GetDlgItem(hFileDlg, nID))
            ::SetWindowTextA(hField, path.c_str());
    PressButton(hFileDlg, IDOK);
}

} // namespace wintest
