#include "AtomicOutput.h"

#include "InterruptCleanup.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return path.substr(0, slash + 1);
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
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);   // best effort: not every file system syncs folders
        ::close(fd);
    }
}

} // namespace

CAtomicOutput::CAtomicOutput(const std::string& outputPath) : m_strOutput(outputPath)
{
    const std::string folder = FolderOf(outputPath);
    const std::string name = outputPath.substr(folder.size());
    std::string pattern = folder + "." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');

    const int fd = ::mkstemp(buffer.data());
    if (fd < 0)
        ThrowErrno(errno, outputPath);
    if (::fchmod(fd, CreationMode()) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(buffer.data());
        ThrowErrno(error, outputPath);
    }
    m_strTemporary = buffer.data();
    RemoveOnInterrupt(m_strTemporary);
    m_file.reset(new CFile(fd, outputPath));
}

CAtomicOutput::~CAtomicOutput()
{
    if (m_bCommitted)
        return;
    m_file.reset();
    ::unlink(m_strTemporary.c_str());
    RemoveOnInterrupt(std::string());
}

void CAtomicOutput::Commit(bool overwrite)
{
    m_file->Flush();
    m_file->Close();

    if (overwrite) {
        if (::rename(m_strTemporary.c_str(), m_strOutput.c_str()) != 0)
            ThrowErrno(errno, m_strOutput);
    } else if (::renameat2(AT_FDCWD, m_strTemporary.c_str(), AT_FDCWD, m_strOutput.c_str(),
                           RENAME_NOREPLACE) != 0) {
        const int error = errno;
        if (error != EINVAL && error != ENOSYS)
            ThrowErrno(error, m_strOutput);
        // The file system cannot refuse for us: look, then rename.
        struct stat existing;
        if (::lstat(m_strOutput.c_str(), &existing) == 0)
            ThrowErrno(EEXIST, m_strOutput);
        if (::rename(m_strTemporary.c_str(), m_strOutput.c_str()) != 0)
            ThrowErrno(errno, m_strOutput);
    }
    m_bCommitted = true;
    RemoveOnInterrupt(std::string());
    SyncFolder(FolderOf(m_strOutput));
}
