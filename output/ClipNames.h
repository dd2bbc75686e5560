#pragma once
// File names for extracted clips: the one the viewer proposes for a single clip,
// and for clips extracted in a batch "<archive stem>-<NNN><h|l> <title>.bik",
// unique across discs and encodings, and valid on every common file system. A
// clip converted to another container takes that container's extension instead.
#include "catalogue/ClipTable.h"

#include <string>

// "Clip%03i%c.bik": the 1-based clip number and 'h' for high resolution, 'l' for low.
std::string ProposedClipName(int index, Resolution resolution, const std::string& extension = ".bik");

// The archive's file title without its last extension ("disc2.pak" -> "disc2").
std::string ArchiveStem(const std::string& fileTitle);

// text with the characters some file system refuses (/ \ : * ? " < > | and
// control characters) turned into '_'.
std::string ReplaceRefusedCharacters(const std::string& text);

// "disc2-012h The Glass Tower.bik" for stem "disc2", index 11 and that title.
// The name never starts with a dot, the part before the extension never ends
// with a blank or a dot, and it always fits MAX_FILE_NAME_BYTES: the title is
// cut first, then the stem (each between UTF-8 characters).
std::string BatchClipName(const std::string& stem, int index, Resolution resolution, const std::string& title,
                          const std::string& extension = ".bik");

// The clip and encoding that a name BatchClipName made says: "disc2-012h The
// Glass Tower.bik" gives index 11, high resolution. The number is the first
// "-NNNh" or "-NNNl" (three digits, 001 to MAX_CLIPS) that ends the name's stem
// or comes before a blank; the name ends in ".bik" (any case). False when the
// name is not such a name.
bool ParseBatchClipName(const std::string& name, int& index, Resolution& resolution);
