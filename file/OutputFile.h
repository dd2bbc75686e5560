#pragma once
// A file being written, under the rules that keep what is already there safe.
//
// A new or replaced regular file appears under its name only when it is
// complete: the bytes go to a hidden temporary file beside it (".NAME.XXXXXX",
// NAME shortened to fit wherever NAME fits), which Commit flushes to the disk
// and renames into place. Until then, on every failure, and when the program is
// interrupted (InterruptCleanup.h), an existing file of that name stays as it
// was and the temporary file goes.
//
// A character device or a FIFO (or a link to one, such as /dev/stdout or NUL)
// takes the bytes as they come, when its name was given by the user. A regular
// file is replaced only when the rules allow it; a folder, a block device, any
// other link and the protected file are never written.
#include "file/File.h"

#include <memory>
#include <string>
#include <vector>

struct OutputRules {
    bool replace = false;         // an existing regular file may be replaced
    bool madeName = false;        // the program made the name up: anything but a regular file there is not ours
    std::vector<FileIdentity> protectedFiles;   // never written, whatever the path that reaches them
    std::string protectedRole = "the file being read";   // "the archive": in "is the archive itself"
};

// An output that was refused before anything was written to it.
class COutputRefused : public CFailure {
public:
    using CFailure::CFailure;
    const std::string& Path() const { return Subject(); }
};

// An existing regular file that the rules keep (no replace): a caller that
// leaves finished files alone counts it rather than failing.
class COutputExists : public COutputRefused {
public:
    using COutputRefused::COutputRefused;
};

// The words for an existing regular file that the rules keep.
extern const char ALREADY_EXISTS[];

class COutputFile {
public:
    // Looks at path and opens what the rules allow: throws COutputRefused, or
    // CFileException naming path.
    COutputFile(const std::string& path, const OutputRules& rules);
    // Standard output, as it is: never a terminal (clip bytes would scramble it)
    // or the protected file. Named "standard output" in errors.
    struct StandardOutput {};
    COutputFile(StandardOutput, const OutputRules& rules);
    ~COutputFile();   // removes the temporary file unless committed
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    CFile& File() { return m_file; }
    const std::string& Path() const { return m_path; }
    // A device, a FIFO or standard output: what it was given cannot be taken back.
    bool IsStream() const { return m_temporary.empty(); }

    // Every byte is written: the system may begin to write them to the disk
    // while the program goes on. Commit still waits until they are there.
    void Finish();
    // Writes out what every file on this one's file system holds in memory, in
    // one go: the Commit of each finished file that follows waits for little, so
    // that a group of files costs one journal commit rather than one each.
    void SyncFileSystem();
    // Flushes a temporary file to the disk and moves it into place (throws
    // COutputRefused when a file that the rules keep has appeared under the name
    // meanwhile), then makes the new name durable unless the caller will
    // (SyncFolderOf, once for many files); closes a stream.
    void Commit(bool syncFolder = true);

private:
    bool IsProtected(const FileIdentity& identity) const;
    [[noreturn]] void Refuse(const std::string& reason) const;
    void OpenTemporary();
    void OpenStream();
    void CheckOpenStream() const;

    std::string m_path;
    OutputRules m_rules;
    CFile m_file;
    std::string m_temporary;   // empty for a stream
    bool m_committed = false;
};

// True when path names a regular file itself (not a link): what a finished
// output is, as one that a run may use again rather than write anew.
bool HoldsRegularFile(const std::string& path);

// Makes the names of files committed into path's folder durable: the folder's
// entries are written to the disk, where the system can.
void SyncFolderOf(const std::string& path);

// The hidden temporary name for a file name: ".NAME.XXXXXX", with NAME cut
// (between UTF-8 characters) so that the result is no longer than 255 bytes.
std::string TemporaryNamePattern(const std::string& name);
