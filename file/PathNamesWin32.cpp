// Paths on Windows: '\' and '/' separate folders, and "C:" begins a path.
#include "file/BackEnd.h"
#include "file/PathNames.h"
#include "file/SystemError.h"
#include "file/Win32Paths.h"

#include <windows.h>

#include <cwchar>

const bool PATHS_HAVE_DRIVES = true;

namespace {

// Where the components after start end, once count of them are passed.
size_t AfterComponents(const std::string& path, size_t start, int count)
{
    size_t end = start;
    for (int i = 0; i < count && end < path.size(); ++i) {
        while (end < path.size() && !IsPathSeparator(path[end]))
            ++end;
        if (i + 1 < count && end < path.size())
            ++end;
    }
    return end;
}

// The length of a root that names no folder to be made: "\\server\share",
// "\\?\UNC\server\share", "\\?\C:" or "\\.\C:"; 0 for any other path.
size_t RootLength(const std::string& path)
{
    if (path.size() < 2 || !IsPathSeparator(path[0]) || !IsPathSeparator(path[1]))
        return 0;
    if (path.size() >= 4 && (path[2] == '?' || path[2] == '.') && IsPathSeparator(path[3])) {
        if (path.size() >= 8 && _strnicmp(path.c_str() + 4, "UNC", 3) == 0 && IsPathSeparator(path[7]))
            return AfterComponents(path, 8, 2);
        return AfterComponents(path, 4, 1);
    }
    return AfterComponents(path, 2, 2);
}

} // namespace

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = FileAttributesAt(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const std::string& folder)
{
    if (folder.size() <= RootLength(folder))
        return false;   // a server, a share or a volume: whether it is there is the caller's check
    if (CreateFolderAt(folder))
        return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return false;
    ThrowLastSystemError(folder);
}

void RemoveFolderIfEmpty(const std::string& folder)
{
    RemoveFolderAt(folder);
}

void ThrowNotAFolder(const std::string& path)
{
    ThrowSystemError(ERROR_DIRECTORY, path);
}

// What the system names the file it opens: links, junctions and substituted
// drives resolved, and, as realpath does, a failure for a path that reaches nothing.
std::string AbsolutePath(const std::string& path)
{
    const HANDLE h = CreateFileAt(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastSystemError(path);
    std::string resolved;
    const DWORD length = FinalPathOf(h, resolved);
    const DWORD error = length == 0 ? GetLastError() : NO_ERROR;
    CloseHandle(h);
    if (length == 0)
        ThrowSystemError(static_cast<long>(error), path);
    // "\\?\C:\..." and "\\?\UNC\server\...", in the spelling programs use
    // (a path too long for that spelling keeps its "\\?\").
    if (PathsAreUtf8() && resolved.size() >= MAX_PATH)
        return resolved;
    if (resolved.compare(0, 8, "\\\\?\\UNC\\") == 0)
        return "\\" + resolved.substr(7);
    if (resolved.compare(0, 4, "\\\\?\\") == 0)
        return resolved.substr(4);
    return resolved;
}

std::vector<std::string> NamesInFolder(const std::string& folder)
{
    const std::string pattern = folder + (folder.empty() || IsPathSeparator(folder.back()) ? "*" : "\\*");
    std::vector<std::string> names;
    const auto keep = [&names](const std::string& name) {
        if (name != "." && name != "..")
            names.push_back(name);
    };
    HANDLE search;
    if (PathsAreUtf8()) {
        WIN32_FIND_DATAW data;
        search = FindFirstFileW(WideFromUtf8(pattern).c_str(), &data);
        if (search == INVALID_HANDLE_VALUE)
            ThrowLastSystemError(folder);
        do
            keep(Utf8FromWide(data.cFileName, wcslen(data.cFileName)));
        while (FindNextFileW(search, &data));
    } else {
        WIN32_FIND_DATAA data;
        search = FindFirstFileA(pattern.c_str(), &data);
        if (search == INVALID_HANDLE_VALUE)
            ThrowLastSystemError(folder);
        do
            keep(data.cFileName);
        while (FindNextFileA(search, &data));
    }
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES)
        ThrowSystemError(static_cast<long>(error), folder);
    return names;
}
