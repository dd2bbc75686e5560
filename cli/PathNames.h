#pragma once
// A path's folder and file name; on Linux only '/' separates them.
#include <string>

// The folder with its final '/', or empty for a bare name.
std::string FolderOf(const std::string& path);
// What follows the last '/'.
std::string NameOf(const std::string& path);
