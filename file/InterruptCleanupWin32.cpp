// Removal of temporary files at Ctrl+C, Ctrl+Break and the closing of the console.
//
// Windows calls a console control handler on a thread of its own while the
// program goes on, so the handler and the program share one critical section:
// the program holds it from creating a temporary file until the file is
// remembered, and the handler holds it while it deletes. Once it has deleted,
// no further temporary file can be remembered (CreateTemporary then removes
// the file it made), so none is made in the moment before the process ends.
#include "file/BackEnd.h"
#include "file/InterruptCleanup.h"
#include "file/Win32Paths.h"

#include <cstring>
#include <windows.h>

namespace {

struct Slot {
    char path[TEMPORARY_PATH_BYTES];
    bool armed;
};
Slot g_slots[TEMPORARY_SLOTS];
bool g_ending = false;

// Made at its first use, which may come before InstallInterruptCleanup, and
// never destroyed: the handler may run while the process ends.
CRITICAL_SECTION& Lock()
{
    static struct Section {
        Section() { InitializeCriticalSection(&section); }
        CRITICAL_SECTION section;
    } lock;
    return lock.section;
}

BOOL WINAPI RemoveTemporaries(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    EnterCriticalSection(&Lock());
    // An open temporary file was created with FILE_SHARE_DELETE: it goes when
    // its handle is closed, at the latest as the process ends.
    for (Slot& slot : g_slots)
        if (slot.armed)
            DeleteFileAt(slot.path);
    g_ending = true;
    LeaveCriticalSection(&Lock());
    return FALSE;   // the next handler: in the end the system's, which ends the process
}

} // namespace

void InstallInterruptCleanup()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    Lock();
    // Unlike a signal, a Ctrl+C that the program was started with ignored (the
    // parent's SetConsoleCtrlHandler(NULL, TRUE), a new process group) reaches
    // no handler: it stays ignored with ours installed.
    SetConsoleCtrlHandler(RemoveTemporaries, TRUE);
}

void KeepInterruptsFromThisThread()
{
    // The handler runs on a thread of its own, under the lock that creation holds.
}

void HoldInterrupts()
{
    EnterCriticalSection(&Lock());
}

void ReleaseInterrupts()
{
    LeaveCriticalSection(&Lock());
}

bool RememberTemporary(const std::string& path)
{
    InstallInterruptCleanup();
    if (path.size() >= sizeof g_slots[0].path)
        return false;
    bool remembered = false;
    EnterCriticalSection(&Lock());
    for (Slot& slot : g_slots) {
        if (g_ending || slot.armed)
            continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.armed = true;
        remembered = true;
        break;
    }
    LeaveCriticalSection(&Lock());
    return remembered;
}

void ForgetTemporary(const std::string& path)
{
    EnterCriticalSection(&Lock());
    for (Slot& slot : g_slots)
        if (slot.armed && path == slot.path)
            slot.armed = false;
    LeaveCriticalSection(&Lock());
}
