#include "ScratchFolder.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

ScratchFolder::ScratchFolder(const std::string& name)
{
    char szTemp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, szTemp);
    m_strPath = std::string(szTemp) + "zodovu-" + std::to_string(::GetCurrentProcessId()) + "-" + name + "\\";
    std::error_code error;
    std::filesystem::remove_all(m_strPath, error);
    std::filesystem::create_directories(m_strPath, error);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    std::filesystem::remove_all(m_strPath, error);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
