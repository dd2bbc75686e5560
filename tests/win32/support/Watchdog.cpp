#include "Watchdog.h"

#include "framework/Dialog.h"
#include "WindowText.h"

#include <algorithm>
#include <cstdio>

namespace wintest {

namespace {

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { ::EnterCriticalSection(&m_cs); }
    ~Lock() { ::LeaveCriticalSection(&m_cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

// A crash ends the test at once, instead of waiting on the system's crash dialog.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* pInfo)
{
    std::fprintf(stderr, "watchdog: the test crashed (exception 0x%08lx at %p)\n",
                 pInfo->ExceptionRecord->ExceptionCode, pInfo->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

Watchdog& Watchdog::Instance()
{
    static Watchdog* pInstance = new Watchdog;
    return *pInstance;
}

Watchdog::Watchdog()
{
    ::InitializeCriticalSection(&m_lock);
}

void Watchdog::Arm(const std::string& testName, DWORD dwTimeoutMs)
{
    {
        Lock lock(m_lock);
        m_strTest = testName;
        m_dwDeadline = ::GetTickCount() + dwTimeoutMs;
        m_bArmed = true;
    }
    if (m_hThread == NULL) {
        ::SetUnhandledExceptionFilter(ReportCrash);
        m_hThread = ::CreateThread(NULL, 0, ThreadMain, this, 0, NULL);
    }
}

void Watchdog::Disarm()
{
    Lock lock(m_lock);
    m_bArmed = false;
}

void Watchdog::Allow(const std::string& caption)
{
    Lock lock(m_lock);
    m_allowed.push_back(caption);
}

void Watchdog::Disallow(const std::string& caption)
{
    Lock lock(m_lock);
    auto it = std::find(m_allowed.begin(), m_allowed.end(), caption);
    if (it != m_allowed.end())
        m_allowed.erase(it);
}

std::vector<std::string> Watchdog::TakeUnexpected()
{
    Lock lock(m_lock);
    std::vector<std::string> taken;
    taken.swap(m_unexpected);
    return taken;
}

DWORD WINAPI Watchdog::ThreadMain(LPVOID pParam)
{
    auto* pThis = static_cast<Watchdog*>(pParam);
    for (;;) {
        ::Sleep(200);
        pThis->Patrol();
    }
}

void Watchdog::Patrol()
{
    const DWORD dwNow = ::GetTickCount();
    {
        Lock lock(m_lock);
        if (m_bArmed && static_cast<LONG>(dwNow - m_dwDeadline) > 0) {
            std::fprintf(stderr, "watchdog: %s did not finish in time; ended.\n", m_strTest.c_str());
            for (HWND hWnd : ProcessWindows(nullptr))
                std::fprintf(stderr, "watchdog:   window up: [%s] %s\n", ClassName(hWnd).c_str(),
                             DialogText(hWnd).c_str());
            std::fflush(stderr);
            ::TerminateProcess(::GetCurrentProcess(), 4);
        }
    }

    std::vector<Seen> stillUp;
    for (HWND hWnd : ProcessWindows("#32770")) {
        if (IsFrameworkDialog(hWnd))
            continue;
        const std::string caption = WindowText(hWnd);
        {
            Lock lock(m_lock);
            if (std::find(m_allowed.begin(), m_allowed.end(), caption) != m_allowed.end())
                continue;
        }
        auto it = std::find_if(m_seen.begin(), m_seen.end(), [&](const Seen& s) { return s.hWnd == hWnd; });
        Seen seen = it != m_seen.end() ? *it : Seen{hWnd, dwNow, 0};
        if (dwNow - seen.dwFirstSeen >= kGraceMs) {
            if (seen.nCloseAttempts == 0) {
                Lock lock(m_lock);
                m_unexpected.push_back(m_strTest + ": " + DialogText(hWnd));
            }
            // Cancel closes a message box of any kind and every common dialog.
            ::PostMessageA(hWnd, WM_COMMAND, seen.nCloseAttempts % 2 == 0 ? IDCANCEL : IDOK, 0);
            ++seen.nCloseAttempts;
        }
        stillUp.push_back(seen);
    }
    m_seen.swap(stillUp);
}

} // namespace wintest
