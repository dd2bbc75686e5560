// The platform-free rules of the output file; the system calls are in the back ends.
#include "file/OutputFile.h"

#include "file/BackEnd.h"
#include "file/Console.h"
#include "file/InterruptCleanup.h"
#include "file/PathNames.h"

#include <algorithm>


const char ALREADY_EXISTS[] = "already exists (--force overwrites it)";

namespace {

// A name the program made up can only be a regular file of its own making.
const char NOT_OURS[] = "already exists and is not a regular file; refusing to write to it";
const char NOT_REGULAR[] = "is not a regular file; refusing to replace it";
const char SUFFIX[] = ".XXXXXX";

} // namespace

std::string TemporaryNamePattern(const std::string& name)
{
    std::string kept = name;
    CutUtf8(kept, MAX_FILE_NAME_BYTES - 1 - (sizeof SUFFIX - 1));
    return "." + kept + SUFFIX;
}

COutputFile::COutputFile(const std::string& path, const OutputRules& rules) : m_path(path), m_rules(rules)
{
    InstallInterruptCleanup();
    const PathState state = LookAtPath(path);
    if (state.reached && IsProtected(state.identity))
        Refuse("is " + rules.protectedRole + " itself; refusing to write to it");
    if (state.kind == PathKind::Regular && !rules.replace)
        throw COutputExists(m_path, ALREADY_EXISTS);
    if (state.kind == PathKind::Missing || state.kind == PathKind::Regular) {
        OpenTemporary();
        return;
    }
    if (rules.madeName)
        Refuse(NOT_OURS);
    switch (state.kind) {
    case PathKind::Stream: OpenStream(); return;
    case PathKind::Link: Refuse("is a symbolic link; refusing to replace it (name its target instead)");
    case PathKind::Folder: Refuse("is a folder; refusing to replace it");
    case PathKind::BlockDevice: Refuse("is a block device; refusing to write to it");
    default: Refuse(NOT_REGULAR);
    }
}

COutputFile::COutputFile(StandardOutput, const OutputRules& rules) : m_path(STANDARD_OUTPUT_NAME), m_rules(rules)
{
    AttachStandardStream(STANDARD_OUTPUT, m_file, m_path);
    CheckOpenStream();
}

COutputFile::~COutputFile()
{
    if (m_committed || m_temporary.empty())
        return;
    m_file.Attach(-1, m_path);   // closed first: Windows removes no open file
    RemoveTemporary(m_temporary);
}

bool COutputFile::IsProtected(const FileIdentity& identity) const
{
    const std::vector<FileIdentity>& kept = m_rules.protectedFiles;
    return std::find(kept.begin(), kept.end(), identity) != kept.end();
}

void COutputFile::Refuse(const std::string& reason) const
{
    throw COutputRefused(m_path, reason);
}

void COutputFile::OpenTemporary()
{
    const std::string pattern = FolderOf(m_path) + TemporaryNamePattern(NameOf(m_path));
    const intptr_t hFile = CreateTemporary(pattern, m_path, m_temporary);
    m_file.Attach(hFile, m_path);
}

// Checked again through the handle, so that a path swapped for a regular file
// (or the protected one) between the look and the open is not written over in place.
void COutputFile::OpenStream()
{
    m_file.Attach(OpenForWriting(m_path), m_path);
    if (HandleKind(m_file.GetHandle()) != PathKind::Stream)
        Refuse("changed while it was opened; refusing to write to it");
    CheckOpenStream();
}

// Bytes that are no text would scramble a terminal; and a stream opened
// elsewhere (standard output, with >>) may be the protected file itself.
void COutputFile::CheckOpenStream() const
{
    if (HandleIsTerminal(m_file.GetHandle()))
        Refuse("is a terminal; refusing to write binary data to it (redirect it to a file or a pipe)");
    if (m_rules.protectedFiles.empty())
        return;
    try {
        if (IsProtected(m_file.GetIdentity()))
            Refuse("is " + m_rules.protectedRole + " itself; refusing to write to it");
    } catch (const CFileException&) {
        // a pipe or a console the system gives no number: not the protected file
    }
}

void COutputFile::Finish()
{
    if (!IsStream())
        BeginWriteBack(m_file.GetHandle());
}

void COutputFile::SyncFileSystem()
{
    if (!IsStream())
        SyncFileSystemOf(m_file.GetHandle());
}

void COutputFile::Commit(bool syncFolder)
{
    if (m_committed)
        return;
    if (IsStream()) {
        m_file.Close();
        m_committed = true;
        return;
    }
    // Flushed and closed before it takes its name: a failure of either leaves
    // nothing under the name (the destructor removes the temporary file).
    m_file.Flush();
    m_file.Close();
    if (RenameIntoPlace(m_temporary, m_path, m_rules.replace) == RenameResult::TargetKept) {
        // One that appeared meanwhile, finished by another run, is kept as any other.
        if (!m_rules.replace && HoldsRegularFile(m_path))
            throw COutputExists(m_path, ALREADY_EXISTS);
        Refuse(m_rules.madeName && m_rules.replace ? NOT_OURS : m_rules.replace ? NOT_REGULAR : ALREADY_EXISTS);
    }
    m_committed = true;
    ForgetTemporary(m_temporary);
    if (syncFolder)
        SyncFolderOf(m_path);
}

bool HoldsRegularFile(const std::string& path)
{
    return LookAtPath(path).kind == PathKind::Regular;
}

void SyncFolderOf(const std::string& path)
{
    SyncFolder(FolderOf(path));
}
