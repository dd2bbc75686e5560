#pragma once
// The subcommands that decode clips or videos with FFmpeg's libraries (convert,
// encode, index, verify --frames; replace and pack check frames, and replace
// --from encodes) and where this program runs them. Each program links one of
// three definitions of ReachDecoding, which is the one place that knows:
// - DecodingHere.cpp: the program links FFmpeg and runs them itself;
// - DecodingHandOver.cpp: the plain zodovu-cli on Linux, which starts without
//   loading FFmpeg's libraries (some 30 ms a start) and hands these commands to
//   zodovu-cli-decode, the same program with them, as git hands some of its
//   commands to helpers in libexec;
// - DecodingAbsent.cpp: a build without FFmpeg's libraries, which says so.
#include "cli/FrameChecks.h"
#include "cli/Requests.h"

struct BinkInput;
struct Subcommand;

struct DecodingCommands {
    int (*convert)(const ConvertRequest& request, RunState& run);
    int (*index)(const IndexRequest& request, RunState& run);
    FrameChecker checkFrames;
    // One encoding's frames, of a table of any file (a Bink file alone).
    FramesFinding (*checkEncodingFrames)(CFile& file, const ClipTable& table, uint32_t index, Resolution resolution);
    int (*encode)(const EncodeRequest& request, RunState& run);
    // replace --from's encodings (EncodeCommand.h).
    void (*encodeBinkInputs)(const std::string& video, const EncodeSettings& settings,
                             const std::vector<BinkInput*>& encodings, unsigned jobs, const std::string& folder,
                             RunState& run);
};

// Whether this build decodes clips, here or in its decoding program.
bool BuildDecodes();

// For a command line that decodes, once it is read and before anything else:
// the commands where this program runs them. The plain program goes on in the
// decoding program with the same arguments and standard streams instead, and
// does not come back (a decoding program it cannot start is said on standard
// error, status 1); a build without decoding throws NotInThisBuild.
const DecodingCommands& ReachDecoding(const Subcommand& command, int argc, char** argv);
