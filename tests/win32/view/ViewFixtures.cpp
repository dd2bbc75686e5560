#include "ViewFixtures.h"

#include "CommandSession.h"
#include "FileContents.h"
#include "Pump.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace viewtest {

namespace {

const char kDataVariable[] = "ZODOVU_VIEW_DATA";

std::string ModulePath()
{
    char szModule[MAX_PATH] = "";
    GetModuleFileNameA(NULL, szModule, sizeof szModule);
    return szModule;
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

// Makes every folder of path that is missing.
void MakeFolders(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    EXPECT_FALSE(error) << path << ": " << error.message();
}

} // namespace

testsupport::ArchiveBuilder ViewArchive()
{
    testsupport::ArchiveBuilder builder;
    builder.AddClip(900, 1).AddClip(300).AddClip(150, 2);
    return builder;
}

std::string OwnFolder()
{
    const std::string path = ModulePath();
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string TempClipIn(const std::string& folder)
{
    return folder + "~clip.bik";
}

std::string PrepareDataFolder(const testsupport::TempFolder& scratch)
{
    const std::string folder = scratch / "data\\";
    MakeFolders(folder);
    ViewArchive().WriteTo(folder + kArchiveName);
    SetEnvironmentVariableA(kDataVariable, folder.c_str());
    return folder;
}

std::string DataFolderForChild()
{
    char szFolder[MAX_PATH] = "";
    GetEnvironmentVariableA(kDataVariable, szFolder, sizeof szFolder);
    return szFolder;
}

void Choose(CommandSession& session, int nRow, bool bLowRes, bool bFullscreen)
{
    session.SelectRow(nRow);
    CheckRadioButton(session.Window(), IDC_HIRES, IDC_LORES, bLowRes ? IDC_LORES : IDC_HIRES);
    CheckDlgButton(session.Window(), IDC_FULLSCREEN, bFullscreen ? BST_CHECKED : BST_UNCHECKED);
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)
        || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void RemoveFile(const std::string& path)
{
    DeleteFileA(path.c_str());
}

PlayerLog::PlayerLog(const std::string& folder) : m_path(folder + "binkplay.log")
{
    RemoveFile(m_path);
}

std::vector<PlayerRun> PlayerLog::Runs() const
{
    std::vector<PlayerRun> runs;
    std::istringstream lines(testsupport::ReadWholeFile(m_path));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t nTab1 = line.find('\t');
        const size_t nTab2 = nTab1 == std::string::npos ? nTab1 : line.find('\t', nTab1 + 1);
        if (nTab2 == std::string::npos)
            continue;
        PlayerRun run;
        run.parameters = line.substr(0, nTab1);
        run.clipSize = std::stoll(line.substr(nTab1 + 1, nTab2 - nTab1 - 1));
        run.commandLine = line.substr(nTab2 + 1);
        runs.push_back(run);
    }
    return runs;
}

bool PlayerLog::WaitForRuns(size_t nCount) const
{
    return wintest::PumpUntil([&] { return Runs().size() >= nCount; }, 10000);
}

bool PlayerLog::NoneStarted() const
{
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return false;
    bool bRunning = false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL bMore = Process32First(hSnapshot, &entry); bMore; bMore = Process32Next(hSnapshot, &entry))
        bRunning = bRunning || _stricmp(NameOf(entry.szExeFile).c_str(), "binkplay.exe") == 0;
    CloseHandle(hSnapshot);
    return !bRunning && GetFileAttributesA(m_path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::string MakeToolFolder(const testsupport::TempFolder& scratch, const std::string& name, bool bWithPlayer)
{
    const std::string folder = scratch / name + "\\";
    MakeFolders(folder);
    const std::string program = NameOf(ModulePath());
    EXPECT_TRUE(CopyFileA(ModulePath().c_str(), (folder + program).c_str(), FALSE)) << folder;
    if (bWithPlayer) {
        EXPECT_TRUE(CopyFileA((OwnFolder() + "binkplay.exe").c_str(), (folder + "binkplay.exe").c_str(), FALSE));
    }
    return folder;
}

bool RunInnerTest(const testsupport::TempFolder& scratch, const std::string& folder, const std::string& testName)
{
    const std::string report = scratch / "inner-test.xml";
    RemoveFile(report);
    std::string commandLine = "\"" + folder + NameOf(ModulePath())
                              + "\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_InToolFolder."
                              + testName + " \"--gtest_output=xml:" + report + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &si, &pi)) {
        ADD_FAILURE() << "could not start " << commandLine;
        return false;
    }
    const bool bEnded = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    if (!bEnded)
        TerminateProcess(pi.hProcess, 99);
    DWORD dwCode = 99;
    GetExitCodeProcess(pi.hProcess, &dwCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    // gtest passes a filter that matched nothing: the report must show the test run.
    const std::string xml = testsupport::ReadWholeFile(report);
    const bool bRan = xml.find("name=\"" + testName + "\"") != std::string::npos
                      && xml.find("status=\"run\"") != std::string::npos;
    const bool bPassed = bEnded && dwCode == 0 && bRan && xml.find("<failure") == std::string::npos;
    if (!bPassed)
        ADD_FAILURE() << "inner test " << testName << " in " << folder << " (exit " << dwCode << "):\n" << xml;
    return bPassed;
}

} // namespace viewtest
