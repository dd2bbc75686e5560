// Paths on POSIX: only '/' separates folders.
#include "file/BackEnd.h"
#include "file/PathNames.h"
#include "file/SystemError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

const bool PATHS_HAVE_DRIVES = false;

void UseUtf8Paths()
{
}

bool IsPathSeparator(char c)
{
    return c == '/';
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0777) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    ThrowLastSystemError(folder);
}

void RemoveFolderIfEmpty(const std::string& folder)
{
    ::rmdir(folder.c_str());
}

void ThrowNotAFolder(const std::string& path)
{
    ThrowSystemError(ENOTDIR, path);
}

std::string AbsolutePath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved)
        ThrowLastSystemError(path);
    return resolved.get();
}

namespace {

struct CloseFolder {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

std::vector<std::string> NamesInFolder(const std::string& folder)
{
    const std::unique_ptr<DIR, CloseFolder> dir(::opendir(folder.c_str()));
    if (!dir)
        ThrowLastSystemError(folder);
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    if (errno != 0)
        ThrowLastSystemError(folder);
    return names;
}
