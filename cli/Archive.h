#pragma once
// An archive opened, scanned and named the way the viewer's "..." command does
// it, and the clips a command asks of it.
#include "catalogue/ArchiveScanner.h"
#include "catalogue/ClipChecks.h"
#include "catalogue/ClipTable.h"
#include "catalogue/DiscIdentity.h"
#include "cli/Requests.h"
#include "file/ReadAheadFile.h"

#include <memory>
#include <string>
#include <vector>

struct LoadedArchive {
    std::string path;
    std::string title;              // the file name without its folder
    CReadAheadFile file;            // open for reading, shared with any other opener
    uint32_t length = 0;
    FileIdentity identity;          // of the file read, so that no output goes onto it
    std::unique_ptr<ClipTable> clips{new ClipTable()};
    DiscIdentity disc{DISC_NONE, nullptr};
    ScanRejection rejection;        // why the scan refused the archive; with --salvage, where the damage begins
    // With --salvage, a damaged archive whose first clips are whole: the table
    // holds only those (ArchiveSalvage.h), and the run ends with status 1.
    bool salvaged = false;
    std::vector<ClipFinding> unsaved;   // why the clip after them, read before the fault, is not used
};

// The viewer's words for a refused archive and, in brackets, the scan's reason:
// "Invalid movie file (clip 34: the high-resolution video's size runs 5 bytes
// past the end of the archive)".
std::string RefusalText(const ScanRejection& rejection);

// "19 clips salvaged from before the fault", and the clip left out and why.
std::string SalvageText(const LoadedArchive& archive);

// Opens and scans the archive; false when the scan refuses it (rejection says
// why). With --salvage a damaged archive with whole clips before the fault is
// taken, salvaged, and one without is refused with the fault. Only a regular
// file is read; file errors throw CFileException. The disc that --disc names
// decides the layout and the labels instead of the file name.
// No output of the run may go onto the archive (Reporter::Protect).
bool LoadArchive(const std::string& path, RunState& run, LoadedArchive& archive);
// The same, and a refusal throws CFailure with RefusalText; a salvage is said
// on standard error, the fault first.
void LoadAcceptedArchive(const std::string& path, RunState& run, LoadedArchive& archive);

