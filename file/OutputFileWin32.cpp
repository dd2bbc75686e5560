// The output file's system calls on Windows.
#include "file/BackEnd.h"
#include "file/PathNames.h"
#include "file/SystemError.h"
#include "file/Win32Paths.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

namespace {

HANDLE ToHandle(intptr_t hFile)
{
    return reinterpret_cast<HANDLE>(hFile);
}

// "\\.\" or "\\?\": a name in the system's own namespace of devices.
bool IsDeviceNamespace(const std::string& path)
{
    return path.size() >= 4 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]) &&
           (path[2] == '.' || path[2] == '?') && IsPathSeparator(path[3]);
}

// "\\.\pipe\NAME": every opening of a named pipe connects to its server, so
// that one is known by its name alone and never opened only to be looked at.
bool IsPipeName(const std::string& path)
{
    return IsDeviceNamespace(path) && path.size() > 9 && _strnicmp(path.c_str() + 4, "pipe", 4) == 0 &&
           IsPathSeparator(path[8]);
}

// "\\.\C:", "\\.\PhysicalDrive0", "\\?\Volume{...}": a device named with no
// file on it; a disk or a volume opens as a disk file would.
bool IsDeviceName(const std::string& path)
{
    return IsDeviceNamespace(path) && path.size() > 4 && path.find_first_of("\\/", 4) == std::string::npos;
}

// A handle that only looks (no reading or writing), links followed; a folder
// opens too. CON needs a direction: looked at, it opens for writing.
HANDLE OpenToLook(const std::string& path)
{
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = CreateFileAt(path, 0, share, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (h == INVALID_HANDLE_VALUE)
        h = CreateFileAt(path, GENERIC_WRITE, share, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    return h;
}

// What a handle reaches: a character device (NUL, CON) or a pipe is a stream.
PathKind KindOfHandle(HANDLE h)
{
    switch (GetFileType(h)) {
    case FILE_TYPE_CHAR:
    case FILE_TYPE_PIPE: return PathKind::Stream;
    case FILE_TYPE_DISK: break;
    default: return PathKind::Other;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info))
        return PathKind::Other;
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::Regular;
}

bool Identify(HANDLE h, FileIdentity& identity)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info))
        return false;
    identity.volume = info.dwVolumeSerialNumber;
    identity.index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

// Only symbolic links and junctions lead elsewhere: other reparse points (a
// file kept in the cloud, a deduplicated file) are the file or folder they seem.
bool IsLink(const std::string& path)
{
    DWORD tag = 0;
    if (!ReparseTagAt(path, tag))
        return true;   // the attributes said reparse point: take it for a link
    return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT;
}

// splitmix64: well-mixed bits from a counter.
uint64_t NextRandom(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

} // namespace

PathState LookAtPath(const std::string& path)
{
    PathState state;
    if (IsPipeName(path)) {
        state.kind = PathKind::Stream;
        return state;
    }
    const DWORD attributes = FileAttributesAt(path);
    const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : NO_ERROR;
    // A device (NUL, CON, COM1 in any folder) may have attributes or not: what
    // opens under the name decides.
    const HANDLE h = OpenToLook(path);
    if (h != INVALID_HANDLE_VALUE) {
        state.reached = Identify(h, state.identity);
        state.kind = KindOfHandle(h);
        CloseHandle(h);
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsLink(path)) {
            // Writing through a link into a device replaces nothing.
            if (state.kind != PathKind::Stream)
                state.kind = PathKind::Link;
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            state.kind = PathKind::Folder;
        } else if (h == INVALID_HANDLE_VALUE) {
            state.kind = PathKind::Regular;   // there, but not to be opened now (in use, or denied)
        }
    } else if (h == INVALID_HANDLE_VALUE) {
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            ThrowSystemError(static_cast<long>(error), path);
        return state;
    }
    if (IsDeviceName(path) && state.kind != PathKind::Stream)
        state.kind = PathKind::BlockDevice;
    return state;
}

PathKind HandleKind(intptr_t hFile)
{
    const PathKind kind = KindOfHandle(ToHandle(hFile));
    return kind == PathKind::Regular || kind == PathKind::Stream ? kind : PathKind::Other;
}

bool HandleIsTerminal(intptr_t hFile)
{
    DWORD mode = 0;
    return GetConsoleMode(ToHandle(hFile), &mode) != 0;
}

intptr_t CreateTemporary(const std::string& pattern, const std::string& forPath, std::string& name)
{
    static const char LETTERS[] = "abcdefghijklmnopqrstuvwxyz0123456789";   // names ignore case
    static uint64_t state = 0;
    const size_t unique = pattern.size() < 6 ? 0 : pattern.size() - 6;
    std::string candidate = pattern;
    // Different in each process and at each call; CREATE_NEW refuses a name in use.
    state ^= (uint64_t(GetCurrentProcessId()) << 32) ^ GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt) {
        uint64_t bits = NextRandom(state);
        for (size_t i = unique; i < candidate.size(); ++i, bits /= 36)
            candidate[i] = LETTERS[bits % 36];
        HoldInterrupts();
        // FILE_SHARE_DELETE: the interrupt handler deletes it while it is open,
        // and Commit renames it before it is closed.
        const HANDLE h =
            CreateFileAt(candidate, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
        DWORD error = h == INVALID_HANDLE_VALUE ? GetLastError() : NO_ERROR;
        if (h != INVALID_HANDLE_VALUE && !RememberTemporary(candidate)) {
            error = candidate.size() >= TEMPORARY_PATH_BYTES ? ERROR_FILENAME_EXCED_RANGE : ERROR_TOO_MANY_OPEN_FILES;
            CloseHandle(h);
            DeleteFileAt(candidate);
        }
        ReleaseInterrupts();
        if (error == NO_ERROR) {
            name = candidate;
            return reinterpret_cast<intptr_t>(h);
        }
        // A file of that name, or one being deleted (which refuses with access denied).
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
            !(error == ERROR_ACCESS_DENIED && FileAttributesAt(candidate) != INVALID_FILE_ATTRIBUTES))
            ThrowSystemError(static_cast<long>(error), forPath);
    }
    ThrowSystemError(ERROR_FILE_EXISTS, forPath);
}

// The system deletes it once its last handle is closed, the process's end too.
intptr_t CreateSpool(const std::string& folder, const std::string& forPath)
{
    std::string where = folder;
    if (where.empty()) {
        wchar_t path[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, path);
        if (length == 0 || length > MAX_PATH)
            ThrowSystemError(static_cast<long>(length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE), forPath);
        where = Utf8FromWide(path, length);
    }
    if (!where.empty() && where.back() != '\\' && where.back() != '/')
        where += '\\';
    static uint64_t state = 0;
    state ^= (uint64_t(GetCurrentProcessId()) << 32) ^ GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, ".spool.%016llx", static_cast<unsigned long long>(NextRandom(state)));
        const HANDLE h = CreateFileAt(where + name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE);
        if (h != INVALID_HANDLE_VALUE)
            return reinterpret_cast<intptr_t>(h);
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
            ThrowSystemError(static_cast<long>(error), forPath);
    }
    ThrowSystemError(ERROR_FILE_EXISTS, forPath);
}

void RemoveTemporary(const std::string& name)
{
    DeleteFileAt(name);
    ForgetTemporary(name);
}

intptr_t OpenForWriting(const std::string& path)
{
    const HANDLE h =
        CreateFileAt(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (h == INVALID_HANDLE_VALUE)
        ThrowLastSystemError(path);
    return reinterpret_cast<intptr_t>(h);
}

// Windows starts writing a file's bytes out by itself; Commit's flush waits for the rest.
void BeginWriteBack(intptr_t)
{
}

// Windows flushes a volume only for an administrator: each file's own flush does it.
void SyncFileSystemOf(intptr_t)
{
}

RenameResult RenameIntoPlace(const std::string& temporary, const std::string& path, bool replace)
{
    // No MOVEFILE_COPY_ALLOWED: the temporary file lies beside its target, and a
    // copy would not be one step.
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (replace) {
        // MoveFileEx replaces a file of any kind but a folder: only a regular
        // file may go, so look once more for anything that appeared since.
        const PathKind kind = LookAtPath(path).kind;
        if (kind != PathKind::Missing && kind != PathKind::Regular)
            return RenameResult::TargetKept;
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    if (MoveFileAt(temporary, path, flags))
        return RenameResult::Done;
    const DWORD error = GetLastError();
    // Without replacing, anything under the name (a folder too) is kept;
    // replacing, a folder that appeared meanwhile refuses with access denied.
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ||
        (replace && error == ERROR_ACCESS_DENIED && LookAtPath(path).kind == PathKind::Folder))
        return RenameResult::TargetKept;
    ThrowSystemError(static_cast<long>(error), path);
}

// NTFS records a rename in its journal; Windows has no call that makes a
// folder's entries durable for a program without administrator's rights.
void SyncFolder(const std::string&)
{
}
