// The output file's system calls on POSIX.
#include "file/BackEnd.h"
#include "file/SystemError.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

PathKind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return PathKind::Regular;
    if (S_ISCHR(mode) || S_ISFIFO(mode))
        return PathKind::Stream;
    if (S_ISLNK(mode))
        return PathKind::Link;
    if (S_ISDIR(mode))
        return PathKind::Folder;
    if (S_ISBLK(mode))
        return PathKind::BlockDevice;
    return PathKind::Other;
}

// mkstemp makes the file 0600; the finished file gets what a plain create would.
mode_t CreationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

PathState LookAtPath(const std::string& path)
{
    PathState state;
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno != ENOENT)
            ThrowLastSystemError(path);
        return state;
    }
    state.kind = KindOf(info.st_mode);
    struct stat target;
    state.reached = ::stat(path.c_str(), &target) == 0;
    if (state.reached) {
        state.identity.volume = static_cast<uint64_t>(target.st_dev);
        state.identity.index = static_cast<uint64_t>(target.st_ino);
        // Writing through a link into a device or a FIFO (/dev/stdout) replaces nothing.
        if (state.kind == PathKind::Link && KindOf(target.st_mode) == PathKind::Stream)
            state.kind = PathKind::Stream;
    }
    return state;
}

PathKind HandleKind(intptr_t hFile)
{
    struct stat info;
    if (::fstat(static_cast<int>(hFile), &info) != 0)
        return PathKind::Other;
    const PathKind kind = KindOf(info.st_mode);
    return kind == PathKind::Regular || kind == PathKind::Stream ? kind : PathKind::Other;
}

bool HandleIsTerminal(intptr_t hFile)
{
    return ::isatty(static_cast<int>(hFile)) == 1;
}

intptr_t CreateTemporary(const std::string& pattern, const std::string& forPath, std::string& name)
{
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    HoldInterrupts();
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0 && !RememberTemporary(buffer.data()))
        error = buffer.size() > TEMPORARY_PATH_BYTES ? ENAMETOOLONG : EMFILE;   // every slot taken
    else if (fd >= 0 && ::fchmod(fd, CreationMode()) != 0)
        error = errno;
    if (error != 0 && fd >= 0) {
        ::close(fd);
        ::unlink(buffer.data());
        ForgetTemporary(buffer.data());
    }
    ReleaseInterrupts();
    if (error != 0)
        ThrowSystemError(error, forPath);
    name = buffer.data();
    return fd;
}

intptr_t CreateSpool(const std::string& folder, const std::string& forPath)
{
    const char* temporary = std::getenv("TMPDIR");
    const std::string where = !folder.empty() ? folder : temporary && *temporary ? temporary : "/tmp";
    int fd = ::open(where.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    // A file system without unnamed files: a named one, its name gone at once
    // (interrupts held back meanwhile, so that none leaves it behind).
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        ThrowLastSystemError(forPath);
    std::string pattern = where + "/.spool.XXXXXX";
    HoldInterrupts();
    fd = ::mkostemp(&pattern[0], O_CLOEXEC);
    const int error = fd < 0 ? errno : 0;
    if (fd >= 0)
        ::unlink(pattern.c_str());
    ReleaseInterrupts();
    if (fd < 0)
        ThrowSystemError(error, forPath);
    return fd;
}

void RemoveTemporary(const std::string& name)
{
    ::unlink(name.c_str());
    ForgetTemporary(name);
}

intptr_t OpenForWriting(const std::string& path)
{
    int fd;
    do
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        ThrowLastSystemError(path);
    return fd;
}

void BeginWriteBack(intptr_t hFile)
{
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(static_cast<int>(hFile), 0, 0, SYNC_FILE_RANGE_WRITE);   // a hint: failures change nothing
#else
    (void)hFile;
#endif
}

void SyncFileSystemOf(intptr_t hFile)
{
    ::syncfs(static_cast<int>(hFile));
}

RenameResult RenameIntoPlace(const std::string& temporary, const std::string& path, bool replace)
{
    if (!replace) {
        if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
            return RenameResult::Done;
        const int error = errno;
        if (error == EEXIST)
            return RenameResult::TargetKept;
        if (error != EINVAL && error != ENOSYS && error != ENOTSUP && error != EOPNOTSUPP)
            ThrowSystemError(error, path);
        // The file system cannot refuse for us: look, then rename.
        if (LookAtPath(path).kind != PathKind::Missing)
            return RenameResult::TargetKept;
    } else {
        // Only a regular file is ever replaced: look once more, for anything
        // that appeared since the name was first looked at.
        const PathKind kind = LookAtPath(path).kind;
        if (kind != PathKind::Missing && kind != PathKind::Regular)
            return RenameResult::TargetKept;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        ThrowLastSystemError(path);
    return RenameResult::Done;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);   // best effort: not every file system syncs folders
        ::close(fd);
    }
}
