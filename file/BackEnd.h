#pragma once
// What the platform-free files of the file layer ask of its back ends
// (*Posix.cpp, *Win32.cpp). Not for use outside file/.
#include "file/FileIdentity.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Paths ------------------------------------------------------------------

// True where "C:" begins a path (Windows).
extern const bool PATHS_HAVE_DRIVES;
// Makes one folder; false when it exists already; throws on any other failure.
bool MakeFolder(const std::string& folder);
// Removes folder when it is empty; any failure leaves it.
void RemoveFolderIfEmpty(const std::string& folder);
[[noreturn]] void ThrowNotAFolder(const std::string& path);

// Interrupts -------------------------------------------------------------

// How many temporary files can be remembered for removal at once, and the
// longest path of one.
constexpr int TEMPORARY_SLOTS = 16;
constexpr size_t TEMPORARY_PATH_BYTES = 4096;
// Holds interrupts back until ReleaseInterrupts, so that a file created under a
// name and then remembered cannot be left behind in between; one that comes
// meanwhile arrives at the release. Not nested.
void HoldInterrupts();
void ReleaseInterrupts();
// False when path cannot be remembered (every slot taken, or too long a path).
bool RememberTemporary(const std::string& path);
void ForgetTemporary(const std::string& path);

// Outputs ----------------------------------------------------------------

enum class PathKind {
    Missing,       // nothing under the name
    Regular,       // a regular file, not through a link
    Stream,        // a character device or a FIFO, or a link to one
    Link,          // a link to anything else, or to nothing
    Folder,
    BlockDevice,
    Other,         // a socket, or anything the system has besides
};
struct PathState {
    PathKind kind = PathKind::Missing;
    bool reached = false;     // the path, links followed, reaches a file
    FileIdentity identity;    // of that file
};
// Throws CFileException for a failure other than "nothing there".
PathState LookAtPath(const std::string& path);
// Regular, Stream or Other: what an open handle reaches.
PathKind HandleKind(intptr_t hFile);
bool HandleIsTerminal(intptr_t hFile);

// A new file named after pattern (its last six characters made unique),
// remembered for removal at an interrupt before one can arrive; throws
// CFileException naming forPath.
intptr_t CreateTemporary(const std::string& pattern, const std::string& forPath, std::string& name);
// A new file of no name in folder (empty: the system's temporary folder),
// open to read and write, gone when closed; throws CFileException naming forPath.
intptr_t CreateSpool(const std::string& folder, const std::string& forPath);
// Removes it and forgets it; failures are dropped.
void RemoveTemporary(const std::string& name);
// An existing device or FIFO, opened for writing (a FIFO waits for its reader).
intptr_t OpenForWriting(const std::string& path);
// A hint that every byte is written: the system may start writing them out.
void BeginWriteBack(intptr_t hFile);
// Writes out everything the file system of hFile holds in memory, in one
// commit of its journal where it keeps one. Failures are dropped: each file's
// own flush, which is then quick, reports its errors.
void SyncFileSystemOf(intptr_t hFile);

enum class RenameResult { Done, TargetKept };
// Moves temporary onto path: with replace, over a regular file or nothing;
// without, onto nothing. TargetKept when something else is there; throws for
// any other failure.
RenameResult RenameIntoPlace(const std::string& temporary, const std::string& path, bool replace);
// Makes the folder's entries (a rename) durable, where the system can.
void SyncFolder(const std::string& folder);
