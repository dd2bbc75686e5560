#pragma once
// A file without a name, for bytes kept a while on the disk rather than in
// memory (an encoding's frames, waiting for the head that comes before them):
// it goes when it is closed, however the program ends, and no interrupt
// cleanup needs to know of it.
#include "file/File.h"

#include <string>

// Opens file on a new spool file, read and write, in folder (empty: the
// system's folder for temporary files); its errors name forPath, the file
// whose bytes it keeps. Throws CFileException.
void OpenSpoolFile(CFile& file, const std::string& folder, const std::string& forPath);

// Copies the spool's bytes, from its start, to output at output's position.
void CopySpool(CFile& spool, CFile& output);
