// The platform-free part of the path functions; the system calls are in
// PathNamesPosix.cpp and PathNamesWin32.cpp.
#include "file/PathNames.h"

#include "file/BackEnd.h"
#include "file/FileException.h"

void CutUtf8(std::string& text, size_t bytes)
{
    if (text.size() <= bytes)
        return;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
}

std::string FolderOf(const std::string& path)
{
    size_t end = path.size();
    while (end > 0 && !IsPathSeparator(path[end - 1]))
        --end;
    if (end == 0 && PATHS_HAVE_DRIVES && path.size() >= 2 && path[1] == ':')
        end = 2;   // "C:name": the current folder of drive C
    return path.substr(0, end);
}

std::string NameOf(const std::string& path)
{
    return path.substr(FolderOf(path).size());
}

std::vector<std::string> MakeFolders(const std::string& folder)
{
    // Each prefix that ends before a separator, then the whole path.
    std::vector<std::string> made;
    try {
        for (size_t end = 1; end <= folder.size(); ++end) {
            if (end < folder.size() && !IsPathSeparator(folder[end]))
                continue;
            const std::string part = folder.substr(0, end);
            if (IsPathSeparator(part.back()) || IsFolder(part))
                continue;
            if (MakeFolder(part))
                made.push_back(part);
        }
        if (!IsFolder(folder))
            ThrowNotAFolder(folder);
    } catch (...) {
        RemoveEmptyFolders(made);
        throw;
    }
    return made;
}

void RemoveEmptyFolders(const std::vector<std::string>& made)
{
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
        RemoveFolderIfEmpty(*folder);
}

bool IdentityOfPath(const std::string& path, FileIdentity& identity)
{
    try {
        const PathState state = LookAtPath(path);
        identity = state.identity;
        return state.reached;
    } catch (const CFileException&) {
        return false;
    }
}
