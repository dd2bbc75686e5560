// Starting a program on Windows: one command line, which the program splits
// into its arguments itself.
#include "file/ProgramRun.h"

#include "file/Win32Paths.h"

namespace {

// One argument as the C runtime's splitting (and CommandLineToArgvW) gives it
// back: in quotes when it holds a blank or a quote or is empty; a quote
// escaped with a backslash; backslashes doubled only where a quote follows.
std::wstring Quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');   // before the closing quote
    return quoted + L"\"";
}

// Ctrl+C and Ctrl+Break reach the program through the console it shares; the
// tool only waits for it.
BOOL WINAPI LeaveToTheProgram(DWORD event)
{
    return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
}

} // namespace

std::string OwnProgramPath()
{
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
    if (length == 0 || length >= sizeof path / sizeof path[0])
        return std::string();
    return Utf8FromWide(path, length);
}

long ReplaceProgram(const std::string& path, const std::vector<std::string>& arguments)
{
    std::vector<std::string> started(arguments);
    started[0] = path;
    const ProgramRun run = RunProgram(started);
    if (run.startError != 0)
        return run.startError;
    ExitProcess(static_cast<UINT>(run.status));
}

ProgramRun RunProgram(const std::vector<std::string>& arguments)
{
    std::wstring commandLine;
    for (const std::string& argument : arguments)
        commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(WideFromUtf8(argument));

    ProgramRun run;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    SetConsoleCtrlHandler(LeaveToTheProgram, TRUE);
    // No application name: the system looks the program up in PATH, ".exe" implied.
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        run.startError = static_cast<long>(GetLastError());
        run.notFound = run.startError == ERROR_FILE_NOT_FOUND || run.startError == ERROR_PATH_NOT_FOUND;
        run.missing = arguments[0];
        SetConsoleCtrlHandler(LeaveToTheProgram, FALSE);
        return run;
    }
    CloseHandle(process.hThread);
    DWORD status = 0;
    if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &status))
        run.waitError = static_cast<long>(GetLastError());
    CloseHandle(process.hProcess);
    SetConsoleCtrlHandler(LeaveToTheProgram, FALSE);
    run.status = static_cast<int>(status);
    return run;
}
