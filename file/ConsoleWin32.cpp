// The standard streams on Windows: the process's three standard handles.
#include "file/Console.h"
#include "file/SystemError.h"
#include "file/Win32Paths.h"

#include <shellapi.h>
#include <windows.h>

namespace {

unsigned g_closedAtStart = 0;

// INVALID_HANDLE_VALUE for a number that is no standard stream.
HANDLE StandardHandle(int stream)
{
    switch (stream) {
    case STANDARD_INPUT: return GetStdHandle(STD_INPUT_HANDLE);
    case STANDARD_OUTPUT: return GetStdHandle(STD_OUTPUT_HANDLE);
    case STANDARD_ERROR: return GetStdHandle(STD_ERROR_HANDLE);
    default: return INVALID_HANDLE_VALUE;
    }
}

// A program started without a console, or with a stream closed, has no handle
// (null) for it; a failed GetStdHandle gives INVALID_HANDLE_VALUE.
bool IsMissing(HANDLE h)
{
    return h == nullptr || h == INVALID_HANDLE_VALUE;
}

} // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8FromWide(wide[i], wcslen(wide[i])));
    LocalFree(wide);
    return arguments;
}

unsigned OpenClosedStandardStreams()
{
    static const DWORD STANDARD_HANDLES[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    unsigned& closed = g_closedAtStart;
    for (int stream = STANDARD_INPUT; stream <= STANDARD_ERROR; ++stream) {
        if (!IsMissing(StandardHandle(stream)))
            continue;
        // Inherited as a descriptor on /dev/null is: a child started with this
        // program's handles gets the null device too.
        SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
        const HANDLE null = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        &inherited, OPEN_EXISTING, 0, nullptr);
        if (null == INVALID_HANDLE_VALUE)
            continue;
        if (SetStdHandle(STANDARD_HANDLES[stream], null))
            closed |= 1u << stream;
        else
            CloseHandle(null);
    }
    return closed;
}

// A console answers GetConsoleMode; a file, a pipe and NUL do not.
bool IsTerminal(int stream)
{
    const HANDLE h = StandardHandle(stream);
    DWORD mode = 0;
    return !IsMissing(h) && GetConsoleMode(h, &mode) != 0;
}

// Only a console's output side has a screen buffer; its input side gives 0.
int TerminalColumns(int stream)
{
    const HANDLE h = StandardHandle(stream);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (IsMissing(h) || !GetConsoleScreenBufferInfo(h, &info))
        return 0;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? columns : 0;
}

void WriteText(int stream, const std::string& text)
{
    const HANDLE h = StandardHandle(stream);
    DWORD mode = 0, written = 0;
    if (IsMissing(h) || text.empty())
        return;
    if (PathsAreUtf8() && GetConsoleMode(h, &mode)) {
        const std::wstring wide = WideFromUtf8(text);
        WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    for (size_t done = 0; done < text.size(); done += written)
        if (!WriteFile(h, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) || written == 0)
            return;
}

void AttachStandardStream(int stream, CFile& file, const std::string& name)
{
    const HANDLE h = StandardHandle(stream);
    if (IsMissing(h) || (g_closedAtStart & (1u << stream)))
        ThrowSystemError(ERROR_INVALID_HANDLE, name);
    // A duplicate of our own, not inherited by children, so that closing the
    // file leaves the stream open.
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS))
        ThrowLastSystemError(name);
    file.Attach(reinterpret_cast<intptr_t>(own), name);
}
