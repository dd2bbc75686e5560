#pragma once
// The subcommands of zodovu-cli, what each is asked, and the state of one run
// that every one of them is handed.
#include "OutputFormats.h"
#include "Selection.h"

#include <string>
#include <vector>

class Reporter;

enum ExitStatus {
    EXIT_OK = 0,
    EXIT_FAILED = 1,   // a refused archive or a failed operation
    EXIT_USAGE = 2,
};

// -o - writes the one selected clip to standard output.
constexpr char TO_STANDARD_OUTPUT[] = "-";

struct ListRequest {
    std::string archive;
    bool json = false;
};

struct ExtractRequest {
    std::string archive;
    std::vector<ClipRange> selection;   // empty with all
    bool all = false;
    bool low = false;
    bool both = false;
    std::string output;                 // empty: the current folder
    bool force = false;
    bool quiet = false;                 // nothing on stderr but errors
    bool verbose = false;               // each written path on stdout
};

// The files are chosen and named as extract's; each is encoded anew.
struct ConvertRequest : ExtractRequest {
    const OutputFormat* format = &DefaultOutputFormat();
    int crf = -1;                       // -1: the format's default
    std::string preset;                 // the video encoder's speed preset; empty: the format's default
    unsigned jobs = 0;                  // clips converted at once; 0: one a core
};

struct VerifyRequest {
    std::vector<std::string> archives;
    bool json = false;
    bool frames = false;                // decode every frame too
    unsigned jobs = 0;                  // encodings decoded at once; 0: one a core
};

// One encoding of one clip, as url and play name it.
struct ClipRequest {
    std::string archive;
    int number = 0;                     // 1-based, as the list shows it
    bool low = false;
    std::string player;                 // play: empty for ffplay
};

// A picture index of each archive in a folder: a page and a poster a clip,
// and with convert each clip converted beside them, played in the page.
struct IndexRequest {
    std::vector<std::string> archives;
    std::string output;                 // the page's folder, made when missing
    unsigned jobs = 0;                  // posters (and clips) made at once; 0: one a core
    bool force = false;                 // replace the page, the posters and the converted clips
    bool convert = false;
    ConvertRequest conversion;          // its encodings (low, both) and encoders' settings
};

struct RunState {
    Reporter& report;
    // The file title that decides the layout and the disc of every archive the
    // run loads ("disc2.pak", from --disc); empty: each archive's own title.
    std::string discTitle;
};

int RunList(const ListRequest& request, RunState& run);
// 1 when any file failed; the others are still written.
int RunExtract(const ExtractRequest& request, RunState& run);
// As extract. The Windows build converts nothing: a usage error there.
int RunConvert(const ConvertRequest& request, RunState& run);
// 0 only when every archive is whole.
int RunVerify(const VerifyRequest& request, RunState& run);
// 1 when a clip has no poster or an archive was not read; the page is still written.
int RunIndex(const IndexRequest& request, RunState& run);
int RunUrl(const ClipRequest& request, RunState& run);
// The player's own exit status (128 + N when signal N ended it).
int RunPlay(const ClipRequest& request, RunState& run);
