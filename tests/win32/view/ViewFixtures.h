#pragma once
// What the View tests share: the archive they view, the folders they work in,
// the stand-in player's log, and copies of this test program run from other
// tool folders. Every folder but the program's own is made in the test's
// scratch folder.
#include "samples/ArchiveBuilder.h"
#include "TempFolder.h"

class CommandSession;

#include <windows.h>

#include <string>
#include <vector>

namespace viewtest {

// Three clips whose six encodings all differ in size; the first clip's are the
// largest, so that a shorter clip written over it shows whether the file was cut.
testsupport::ArchiveBuilder ViewArchive();
const char kArchiveName[] = "views.pak";

// The folder of this running program (with its trailing backslash): the tool's
// own folder of every View made in this process.
std::string OwnFolder();
std::string TempClipIn(const std::string& folder);   // folder + "~clip.bik"

// The folder the archive is chosen from, made in scratch with ViewArchive
// written into it. Children are told it through the environment.
std::string PrepareDataFolder(const testsupport::TempFolder& scratch);
std::string DataFolderForChild();

// The choices the user leaves before pressing "View": the row, the resolution
// and the "Fullscreen" check box.
void Choose(CommandSession& session, int nRow, bool bLowRes, bool bFullscreen);

// Size of a file, -1 when there is none (or it is a folder).
long long FileSize(const std::string& path);
void RemoveFile(const std::string& path);

// One line of binkplay.log per start of the stand-in player.
struct PlayerRun {
    std::string parameters;    // the command line after the program's name
    long long clipSize = -1;   // the size of the quoted file when the player started
    std::string commandLine;   // the whole command line
};

class PlayerLog {
public:
    explicit PlayerLog(const std::string& folder);   // starts empty: an old log is removed
    std::vector<PlayerRun> Runs() const;
    // Pumps this thread's messages until the log holds nCount runs; false after 10 s.
    bool WaitForRuns(size_t nCount) const;
    // True when no player has been started: none runs now, and none has written
    // its line (a player writes before it ends, so nothing can slip between).
    bool NoneStarted() const;

private:
    std::string m_path;
};

// A folder scratch/name holding a copy of this test program (and, when asked,
// of the player). name may hold backslashes: every folder on the way is made.
std::string MakeToolFolder(const testsupport::TempFolder& scratch, const std::string& name, bool bWithPlayer);
// Runs the copy in folder with only the named disabled inner test, its report
// kept in scratch; true when it ran and passed. The inner test's failures are
// added to the running test.
bool RunInnerTest(const testsupport::TempFolder& scratch, const std::string& folder, const std::string& testName);

} // namespace viewtest
