#include "file/Win32Paths.h"

#include "file/PathNames.h"

namespace {

bool g_utf8 = false;

// A path as the wide calls take it: past the limit of the plain form, the
// "\\?\" form, which must be absolute and takes no '/'.
std::wstring SystemPath(const std::string& path)
{
    std::wstring wide = WideFromUtf8(path);
    // CreateDirectory's limit is the lowest: room for an 8.3 name inside.
    if (wide.size() < MAX_PATH - 12 || wide.compare(0, 4, L"\\\\?\\") == 0)
        return wide;
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return wide;   // the call itself says why
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), needed, &full[0], nullptr));
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

} // namespace

void UseUtf8Paths()
{
    g_utf8 = true;
}

bool PathsAreUtf8()
{
    return g_utf8;
}

std::wstring WideFromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Utf8FromWide(const wchar_t* text, size_t length)
{
    if (length == 0)
        return std::string();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

HANDLE CreateFileAt(const std::string& path, DWORD access, DWORD share, DWORD creation, DWORD flags)
{
    if (g_utf8)
        return CreateFileW(SystemPath(path).c_str(), access, share, nullptr, creation, flags, nullptr);
    return CreateFileA(path.c_str(), access, share, nullptr, creation, flags, nullptr);
}

DWORD FileAttributesAt(const std::string& path)
{
    return g_utf8 ? GetFileAttributesW(SystemPath(path).c_str()) : GetFileAttributesA(path.c_str());
}

BOOL CreateFolderAt(const std::string& path)
{
    return g_utf8 ? CreateDirectoryW(SystemPath(path).c_str(), nullptr) : CreateDirectoryA(path.c_str(), nullptr);
}

BOOL RemoveFolderAt(const std::string& path)
{
    return g_utf8 ? RemoveDirectoryW(SystemPath(path).c_str()) : RemoveDirectoryA(path.c_str());
}

BOOL DeleteFileAt(const std::string& path)
{
    return g_utf8 ? DeleteFileW(SystemPath(path).c_str()) : DeleteFileA(path.c_str());
}

BOOL MoveFileAt(const std::string& from, const std::string& to, DWORD flags)
{
    if (g_utf8)
        return MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), flags);
    return MoveFileExA(from.c_str(), to.c_str(), flags);
}

bool ReparseTagAt(const std::string& path, DWORD& tag)
{
    HANDLE search;
    DWORD found = 0;   // what a failed search leaves in its data is undefined: read only after a success
    if (g_utf8) {
        WIN32_FIND_DATAW data;
        search = FindFirstFileW(SystemPath(path).c_str(), &data);
        if (search != INVALID_HANDLE_VALUE)
            found = data.dwReserved0;
    } else {
        WIN32_FIND_DATAA data;
        search = FindFirstFileA(path.c_str(), &data);
        if (search != INVALID_HANDLE_VALUE)
            found = data.dwReserved0;
    }
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    tag = found;
    return true;
}

DWORD FinalPathOf(HANDLE h, std::string& path)
{
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    if (g_utf8) {
        std::wstring wide(MAX_PATH, L'\0');
        DWORD length = GetFinalPathNameByHandleW(h, &wide[0], static_cast<DWORD>(wide.size()), flags);
        if (length >= wide.size()) {   // too small: the length needed, terminator included
            wide.resize(length);
            length = GetFinalPathNameByHandleW(h, &wide[0], static_cast<DWORD>(wide.size()), flags);
        }
        if (length == 0 || length >= wide.size())
            return 0;
        path = Utf8FromWide(wide.data(), length);
        return length;
    }
    char buffer[MAX_PATH + 8];
    const DWORD length = GetFinalPathNameByHandleA(h, buffer, sizeof buffer, flags);
    if (length == 0)
        return 0;
    if (length >= sizeof buffer) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    path.assign(buffer, length);
    return length;
}

std::string SystemMessage(DWORD error)
{
    const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    std::string text;
    if (g_utf8) {
        wchar_t wide[512];
        const DWORD length = FormatMessageW(flags, nullptr, error, 0, wide, sizeof wide / sizeof wide[0], nullptr);
        text = Utf8FromWide(wide, length);
    } else {
        char narrow[512];
        const DWORD length = FormatMessageA(flags, nullptr, error, 0, narrow, sizeof narrow, nullptr);
        text.assign(narrow, length);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}
