#pragma once
// How the Win32 back end hands paths and texts to the system. The viewer's
// paths are in the ANSI code page and go to the 8-bit ("A") calls, as they
// always did. Once UseUtf8Paths() is called (zodovu-cli), paths and the
// system's texts are UTF-8 and go through the wide calls, with the "\\?\" form
// for a path that the 260-character limit would refuse. Not for use outside file/.
#include <string>
#include <windows.h>

bool PathsAreUtf8();
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const wchar_t* text, size_t length);

HANDLE CreateFileAt(const std::string& path, DWORD access, DWORD share, DWORD creation, DWORD flags);
DWORD FileAttributesAt(const std::string& path);
BOOL CreateFolderAt(const std::string& path);
BOOL RemoveFolderAt(const std::string& path);
BOOL DeleteFileAt(const std::string& path);
BOOL MoveFileAt(const std::string& from, const std::string& to, DWORD flags);
// The reparse tag of what is at path (a link's kind); false when it cannot be read.
bool ReparseTagAt(const std::string& path, DWORD& tag);
// The name the system gives the file an open handle reaches, "\\?\" form and all;
// 0 on failure, with GetLastError set.
DWORD FinalPathOf(HANDLE h, std::string& path);
// The system's words for an error code, without trailing line breaks.
std::string SystemMessage(DWORD error);
