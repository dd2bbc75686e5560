#include "TempFolder.h"

#include "samples/ArchiveBuilder.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#include <string.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace testsupport {

namespace {

constexpr char SEPARATOR = static_cast<char>(fs::path::preferred_separator);

// The system's temporary folder. Under Windows in the system's own spelling,
// which is what its file dialogs give back.
std::string TemporaryFolder()
{
#ifdef _WIN32
    char szTemp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, szTemp);
    return szTemp;
#else
    return fs::temp_directory_path().string();
#endif
}

// True when path is folder or lies in it; both end with a separator.
bool IsWithin(const std::string& path, const std::string& folder)
{
    if (path.size() < folder.size())
        return false;
#ifdef _WIN32
    return ::_strnicmp(path.c_str(), folder.c_str(), folder.size()) == 0;
#else
    return path.compare(0, folder.size(), folder) == 0;
#endif
}

int ProcessId()
{
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

} // namespace

TempFolder::TempFolder(const std::string& name) : TempFolder(TemporaryFolder(), name)
{
}

TempFolder::TempFolder(const std::string& base, const std::string& name)
{
    // The process id keeps parallel runs apart; a folder of that name is what an
    // earlier process of the same id left behind.
    m_path = base;
    if (m_path.empty() || (m_path.back() != '/' && m_path.back() != SEPARATOR))
        m_path += SEPARATOR;
    m_path += "zodovu-" + std::to_string(ProcessId()) + "-" + name + SEPARATOR;
    std::error_code error;
    fs::remove_all(m_path, error);
    if (!error)
        fs::create_directories(m_path, error);
    if (error)
        throw std::runtime_error("cannot make the scratch folder " + m_path + ": " + error.message());
}

TempFolder::~TempFolder()
{
    // The system's file dialogs make the folder last shown the process's current
    // one, and Windows removes no folder that is some process's current folder.
    std::error_code ignored;
    if (IsWithin(fs::current_path(ignored).string() + SEPARATOR, m_path))
        fs::current_path(m_path.substr(0, m_path.find_last_of("/\\", m_path.size() - 2) + 1), ignored);
    fs::remove_all(m_path, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    const std::string path = *this / name;
    WriteBytesToFile(bytes, path);
    return path;
}

std::vector<std::string> TempFolder::Names() const
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace testsupport
