// Paths on Windows: '\' and '/' separate folders, and "C:" begins a path.
#include "BackEnd.h"
#include "PathNames.h"
#include "SystemError.h"

#include <windows.h>

const bool PATHS_HAVE_DRIVES = true;

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const std::string& folder)
{
    if (CreateDirectoryA(folder.c_str(), nullptr))
        return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return false;
    ThrowLastSystemError(folder);
}

void RemoveFolderIfEmpty(const std::string& folder)
{
    RemoveDirectoryA(folder.c_str());
}

void ThrowNotAFolder(const std::string& path)
{
    ThrowSystemError(ERROR_DIRECTORY, path);
}

std::string AbsolutePath(const std::string& path)
{
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0)
        ThrowLastSystemError(path);
    if (length >= sizeof buffer)
        ThrowSystemError(ERROR_FILENAME_EXCED_RANGE, path);
    return std::string(buffer, length);
}
