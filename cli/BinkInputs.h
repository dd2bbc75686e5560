#pragma once
// The Bink files that replace and pack put into an archive, each checked
// before anything is written: whole as verify checks an encoding, and every
// frame decoded as verify --frames decodes it, where the build decodes.
#include "catalogue/BinkHeader.h"
#include "catalogue/ClipTable.h"
#include "cli/Requests.h"
#include "file/File.h"
#include "output/ArchiveWriter.h"

#include <memory>
#include <string>
#include <vector>

struct BinkInput {
    std::string path;
    Resolution resolution = Resolution::High;
    CFile file;
    uint32_t size = 0;
    BinkHeader header{};
};

// Opens path, a regular file, as the encoding of resolution and checks it:
// the "BIK" tag, a size field that gives the file's own length, the picture
// size of the encoding, the frame counts and the frame index. Throws
// CFailure naming path with the first fault, or CFileException.
std::unique_ptr<BinkInput> OpenBinkInput(const std::string& path, Resolution resolution);
// The same checks of an input whose file is open already (one encoded here).
void CheckBinkInput(BinkInput& input);

// Neither standard output nor standard error may reach an input (">> hi.bik"):
// throws CFailure, as for the archive that a run reads.
void ProtectInputs(const std::vector<BinkInput*>& inputs, RunState& run);

// Decodes every frame of each input, jobs at once, under the progress line.
// Each that does not decode whole is said on standard error, and a CFailure
// then ends the run. A build without decoding says once that frames were not
// checked.
void CheckInputFrames(const std::vector<BinkInput*>& inputs, unsigned jobs, RunState& run);

// The clip of hi and lo. Files of one clip with different frame counts are
// taken, and the difference said: the high-resolution count is the clip's.
NewClip ClipOf(BinkInput& hi, BinkInput& lo, RunState& run);

// A finding's text without its "clip 1: " or "clip 1 (high-res.): ": of a
// Bink file alone, the file is the subject.
std::string WithoutClipSubject(const std::string& text);
