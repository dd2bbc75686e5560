// A stand-in for the outside player. It shows nothing: it appends one line to
// binkplay.log beside itself and ends at once. The line is three fields split
// by tabs: the parameters (the command line after the program's name), the size
// of the file named between the first pair of double quotes (-1 when there is
// none), and the whole command line.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// What follows the program's name, as the system gives the command line: the
// name is quoted or runs to the first blank, and blanks separate it from the rest.
std::string ParametersOf(const char* pszCommandLine)
{
    const char* p = pszCommandLine;
    if (*p == '"') {
        const char* pEnd = std::strchr(p + 1, '"');
        p = pEnd ? pEnd + 1 : p + std::strlen(p);
    } else {
        while (*p != '\0' && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

long long SizeOfQuotedFile(const std::string& parameters)
{
    const size_t nOpen = parameters.find('"');
    const size_t nClose = nOpen == std::string::npos ? nOpen : parameters.find('"', nOpen + 1);
    if (nClose == std::string::npos)
        return -1;
    const std::string path = parameters.substr(nOpen + 1, nClose - nOpen - 1);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string LogPath()
{
    char szModule[MAX_PATH] = "";
    GetModuleFileNameA(NULL, szModule, sizeof szModule);
    std::string path = szModule;
    return path.substr(0, path.find_last_of('\\') + 1) + "binkplay.log";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* pszCommandLine = GetCommandLineA();
    const std::string parameters = ParametersOf(pszCommandLine);
    const std::string line = parameters + "\t" + std::to_string(SizeOfQuotedFile(parameters)) + "\t"
                             + pszCommandLine + "\n";

    // Written in one call, so that a reader never sees half a line.
    HANDLE hLog = CreateFileA(LogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hLog == INVALID_HANDLE_VALUE)
        return 1;
    DWORD dwWritten = 0;
    WriteFile(hLog, line.data(), static_cast<DWORD>(line.size()), &dwWritten, NULL);
    CloseHandle(hLog);
    return 0;
}
