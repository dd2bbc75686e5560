#pragma once
// Paths and file names: a path's folder and name, the folders an output needs,
// and the length of a name. Folders are separated by '/' on POSIX, and by '\'
// or '/' on Windows, where a drive's "C:" also ends a folder.
#include <cstddef>
#include <string>
#include <vector>

// On Windows, paths given to and taken from the file layer, and the system's
// texts, are UTF-8 from this call on; before it they are in the ANSI code page,
// as the viewer's 8-bit calls take them. POSIX paths are bytes either way.
void UseUtf8Paths();

// The longest file name most file systems take, in bytes.
constexpr size_t MAX_FILE_NAME_BYTES = 255;

// Cuts text to at most bytes, never inside a UTF-8 sequence.
void CutUtf8(std::string& text, size_t bytes);

bool IsPathSeparator(char c);
// The folder with its final separator, or empty for a bare name.
std::string FolderOf(const std::string& path);
// What follows the folder.
std::string NameOf(const std::string& path);

// True when path names a folder (through links).
bool IsFolder(const std::string& path);

// The names in folder, without "." and "..", in no particular order; throws
// CFileException naming the folder when it cannot be read.
std::vector<std::string> NamesInFolder(const std::string& folder);

// Makes folder and each missing folder above it. Returns the folders it made,
// outermost first. On failure it removes them again and throws CFileException
// naming the folder that could not be made.
std::vector<std::string> MakeFolders(const std::string& folder);
// Removes, innermost first, those of the folders made that are still empty.
void RemoveEmptyFolders(const std::vector<std::string>& made);

// The file the path reaches, links followed; false when it reaches none.
struct FileIdentity;
bool IdentityOfPath(const std::string& path, FileIdentity& identity);

// The path from the root, links resolved; throws CFileException when it cannot be told.
std::string AbsolutePath(const std::string& path);
