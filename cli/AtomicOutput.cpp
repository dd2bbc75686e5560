#include "AtomicOutput.h"

#include "InterruptCleanup.h"
#include "PathNames.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t MAX_NAME_BYTES = 255;
const char SUFFIX[] = ".XXXXXX";
constexpr size_t SUFFIX_BYTES = sizeof SUFFIX - 1;

// The hidden temporary name beside output, with XXXXXX to be made unique.
std::string TemporaryPathPattern(const std::string& output)
{
    return FolderOf(output) + TemporaryNamePattern(NameOf(output));
}

[[noreturn]] void ThrowErrno(int error, const std::string& path)
{
    throw CFileException(CFileException::OsErrorToCause(error), error, path);
}

// mkstemp makes the file 0600; the finished file gets what a plain create would.
mode_t CreationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);   // best effort: not every file system syncs folders
        ::close(fd);
    }
}

// An unnamed file in folder, or -1 where the kernel or the file system has none.
// Linking it later goes through /proc/self/fd, which needs no privilege.
int OpenUnnamed(const std::string& folder)
{
#ifdef O_TMPFILE
    if (::access("/proc/self/fd", X_OK) != 0)
        return -1;
    return ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)folder;
    return -1;
#endif
}

std::string DescriptorPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

// pattern with its trailing XXXXXX replaced by random letters and digits.
std::string RandomName(const std::string& pattern)
{
    static const char LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof LETTERS - 2);
    std::string name = pattern;
    for (size_t i = name.size() - 6; i < name.size(); ++i)
        name[i] = LETTERS[pick(generator)];
    return name;
}

// With --force, nothing but a regular file is replaced; this looks once more
// right before the rename, for anything that appeared since the command looked.
void RefuseToReplaceOtherThanRegular(const std::string& output)
{
    struct stat existing;
    if (::lstat(output.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        ThrowErrno(EEXIST, output);
}

} // namespace

std::string TemporaryNamePattern(const std::string& name)
{
    std::string kept = name;
    const size_t room = MAX_NAME_BYTES - 1 - SUFFIX_BYTES;
    if (kept.size() > room) {
        size_t end = room;
        while (end > 0 && (static_cast<unsigned char>(kept[end]) & 0xC0) == 0x80)
            --end;
        kept.resize(end);
    }
    return "." + kept + SUFFIX;
}

CAtomicOutput::CAtomicOutput(const std::string& outputPath) : m_output(outputPath)
{
    const std::string folder = FolderOf(outputPath);
    int fd = OpenUnnamed(folder);
    if (fd >= 0) {
        m_unnamedDescriptor = fd;
        RemoveOnInterrupt(std::string());
    } else {
        // Not every file system has unnamed files (EOPNOTSUPP); a folder that cannot
        // take a file at all fails again below with the reason that matters.
        const std::string pattern = TemporaryPathPattern(outputPath);
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const SignalsHeld held;   // until the name is remembered for removal
        fd = ::mkstemp(buffer.data());
        if (fd < 0)
            ThrowErrno(errno, outputPath);
        if (::fchmod(fd, CreationMode()) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(buffer.data());
            ThrowErrno(error, outputPath);
        }
        m_temporary = buffer.data();
        RemoveOnInterrupt(m_temporary);
    }
    m_file.reset(new CFile(fd, outputPath));
}

CAtomicOutput::~CAtomicOutput()
{
    if (m_committed)
        return;
    m_file.reset();   // an unnamed file goes with its last descriptor
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    RemoveOnInterrupt(std::string());
}

// Gives the finished unnamed file a hidden name beside the output, for the rename
// that replaces an existing file (a link never replaces one).
void CAtomicOutput::NameTheUnnamedFile()
{
    const std::string pattern = TemporaryPathPattern(m_output);
    const SignalsHeld held;   // until the name is remembered for removal
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = RandomName(pattern);
        if (::linkat(AT_FDCWD, DescriptorPath(m_unnamedDescriptor).c_str(), AT_FDCWD, name.c_str(),
                     AT_SYMLINK_FOLLOW) == 0) {
            m_temporary = name;
            RemoveOnInterrupt(m_temporary);
            return;
        }
        if (errno != EEXIST)
            ThrowErrno(errno, m_output);
    }
    ThrowErrno(EEXIST, m_output);
}

void CAtomicOutput::Commit(bool overwrite)
{
    m_file->Flush();

    if (m_unnamedDescriptor >= 0 && !overwrite) {
        // A link refuses an existing name by itself.
        if (::linkat(AT_FDCWD, DescriptorPath(m_unnamedDescriptor).c_str(), AT_FDCWD, m_output.c_str(),
                     AT_SYMLINK_FOLLOW) != 0)
            ThrowErrno(errno, m_output);
    } else if (m_unnamedDescriptor >= 0 || overwrite) {
        if (m_unnamedDescriptor >= 0)
            NameTheUnnamedFile();
        RefuseToReplaceOtherThanRegular(m_output);
        if (::rename(m_temporary.c_str(), m_output.c_str()) != 0)
            ThrowErrno(errno, m_output);
    } else if (::renameat2(AT_FDCWD, m_temporary.c_str(), AT_FDCWD, m_output.c_str(), RENAME_NOREPLACE) != 0) {
        const int error = errno;
        if (error != EINVAL && error != ENOSYS)
            ThrowErrno(error, m_output);
        // The file system cannot refuse for us: look, then rename.
        struct stat existing;
        if (::lstat(m_output.c_str(), &existing) == 0)
            ThrowErrno(EEXIST, m_output);
        if (::rename(m_temporary.c_str(), m_output.c_str()) != 0)
            ThrowErrno(errno, m_output);
    }
    m_committed = true;
    RemoveOnInterrupt(std::string());
    m_file->Close();
    SyncFolder(FolderOf(m_output));
}
