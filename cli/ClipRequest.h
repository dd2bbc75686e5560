#pragma once
// One encoding of one clip of an archive, as url and play name it, and where its
// bytes lie.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>

struct ClipRequest {
    std::string archive;
    int number = 0;              // 1-based, as the list shows it
    bool lowResolution = false;
};

// Adds ARCHIVE NUMBER [--lo] [--disc D] to a subcommand.
void AddClipRequestOptions(CLI::App& command, ClipRequest& request);

struct ClipLocation {
    std::string archivePath;   // absolute, symbolic links resolved
    std::string title;         // the list's label
    uint64_t start = 0;
    uint64_t end = 0;          // exclusive
};

// Loads the archive and finds the clip. On a rejected archive, a number past
// the last clip or a clip cut short by the end of the file, says why on stderr
// and returns false; file errors throw CFileException.
bool LocateClip(const ClipRequest& request, ClipLocation& location);
