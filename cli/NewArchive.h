#pragma once
// What replace and pack share once the plan is made: the new archive written
// under a hidden name, checked, and only then given its own.
#include "cli/Requests.h"
#include "file/FileIdentity.h"
#include "output/ArchiveWriter.h"

#include <string>
#include <vector>

struct NewArchive {
    std::string path;
    bool publisher = false;                  // the layout written
    bool force = false;                      // an existing regular file may be replaced
    bool verbose = false;                    // the path on standard output once written
    unsigned jobs = 0;                       // encodings decoded at once in the check; 0: one a core
    FileIdentity archive;                    // the archive read, if any: never written
    std::vector<FileIdentity> binkFiles;     // the Bink files read: never written
    FileIdentity video;                      // the video they were encoded from, if any: never written
    // The clips written anew (0-based), each with its low-resolution file's own
    // frame count: checked as verify checks an encoding, against that count.
    std::vector<std::pair<uint32_t, uint32_t>> newClips;
};

// What refuses target.path for certain, said before the inputs' frames are
// decoded (minutes for a disc's clips): a file read under the name, or a file
// there without force. WriteNewArchive refuses them again when it opens.
void RefuseTargetEarly(const NewArchive& target);

// Writes plan as target.path, then checks what was written: the scan takes it
// and finds every clip where the plan put it, and each new clip passes the
// checks of verify (and of verify --frames where the build decodes). A file
// that fails goes, and nothing takes the name. Throws CFailure or
// CFileException.
void WriteNewArchive(const ArchivePlan& plan, const NewArchive& target, RunState& run);

// "disc2.pak written: 34 clips, 5.3M", unless quiet.
void SayWritten(RunState& run, const std::string& path, size_t clips, uint64_t bytes, bool quiet);
