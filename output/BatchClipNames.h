#pragma once
// File names for clips extracted in a batch: "<archive stem>-<NNN><h|l> <title>.bik",
// unique across discs and encodings, and valid on every common file system.
#include "ClipTable.h"

#include <cstddef>
#include <string>

// The longest file name most file systems take, in bytes.
constexpr size_t MAX_FILE_NAME_BYTES = 255;

// The archive's file title without its last extension ("disc2.pak" -> "disc2").
std::string ArchiveStem(const std::string& fileTitle);

// text with the characters some file system refuses (/ \ : * ? " < > | and
// control characters) turned into '_'.
std::string ReplaceRefusedCharacters(const std::string& text);

// "disc2-012h The Glass Tower.bik" for stem "disc2", index 11 and that title.
// The name never starts with a dot, the part before ".bik" never ends with a
// blank or a dot, and the title is cut (between UTF-8 characters) so that the
// name fits MAX_FILE_NAME_BYTES whenever the stem leaves room.
std::string BatchClipName(const std::string& stem, int index, Resolution resolution, const std::string& title);
