#include "ScratchFolder.h"

#include "ArchiveBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace testsupport {

namespace {

// The system's temporary folder with its trailing separator. Under Windows in the
// system's own spelling, which is what its file dialogs give back.
std::string TemporaryFolder()
{
#ifdef _WIN32
    char szTemp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, szTemp);
    return szTemp;
#else
    return fs::temp_directory_path().string() + "/";
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

std::string CurrentTestName()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

} // namespace

ScratchFolder::ScratchFolder() : ScratchFolder(CurrentTestName())
{
}

ScratchFolder::ScratchFolder(const std::string& name)
{
    // The process id keeps parallel runs of one test apart.
    const std::string folder = "zodovu-" + std::to_string(ProcessId()) + "-" + name;
    m_path = TemporaryFolder() + folder + static_cast<char>(fs::path::preferred_separator);
    std::error_code error;
    fs::remove_all(m_path, error);
    fs::create_directories(m_path, error);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string ScratchFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const
{
    const std::string path = *this / name;
    WriteBytesToFile(bytes, path);
    return path;
}

std::vector<std::string> ScratchFolder::Names() const
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

} // namespace testsupport
