#pragma once
// What each subcommand of zodovu-cli is asked, and the state of one run that
// every one of them is handed.
#include "cli/Selection.h"
#include "media/OutputFormats.h"

#include <cstdint>
#include <string>
#include <vector>

class Reporter;
struct DecodingCommands;

// -o - writes the one selected clip to standard output.
constexpr char TO_STANDARD_OUTPUT[] = "-";

struct ListRequest {
    std::vector<std::string> archives;
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
    bool noClobber = false;             // an existing regular file is kept, and counted as skipped
    bool quiet = false;                 // nothing on stderr but errors
    bool verbose = false;               // each written path on stdout
};

// The files are chosen and named as extract's; each is encoded anew.
struct ConvertRequest : ExtractRequest {
    const OutputFormat* format = &DefaultOutputFormat();
    int crf = -1;                       // -1: the format's default
    std::string preset;                 // the video encoder's speed preset; empty: the format's default
    unsigned jobs = 0;                  // clips converted at once; 0: one a core
    bool conceal = false;               // a frame that does not decode is concealed, and the file written
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
    bool quiet = false;                 // as extract's
    bool verbose = false;
    bool convert = false;
    ConvertRequest conversion;          // its encodings (low, both) and encoders' settings
};

// The picture sizes of a clip's two encodings.
constexpr uint32_t HIGH_RES_WIDTH = 640, HIGH_RES_HEIGHT = 448;
constexpr uint32_t LOW_RES_WIDTH = 320, LOW_RES_HEIGHT = 224;

// What our Bink encoder is asked, by encode and replace --from.
struct EncodeSettings {
    uint32_t width = HIGH_RES_WIDTH;
    uint32_t height = HIGH_RES_HEIGHT;
    unsigned kilobytesPerSecond = 300;  // the whole file's, sound included; a kilobyte is 1024 bytes
    unsigned quality = 0;               // 1 to 100 instead of a rate; 0: by the rate
};

// Videos of any kind FFmpeg reads, each encoded as a Bink file.
struct EncodeRequest {
    std::vector<std::string> inputs;
    std::string output;                 // one input: the file, or a folder; several: the folder
    EncodeSettings settings;
    unsigned jobs = 0;                  // videos encoded at once; 0: one a core
    bool force = false;
    bool quiet = false;                 // as extract's
    bool verbose = false;
};

// A new archive: ARCHIVE with clip NUMBER's two encodings replaced by given
// Bink files, or by two encoded here from a video.
struct ReplaceRequest {
    std::string archive;
    int number = 0;                     // 1-based, as the list shows it
    std::string hi;                     // the new high-resolution Bink file
    std::string lo;                     // and the low-resolution one
    std::string from;                   // or the video to encode both from
    EncodeSettings encoding;            // with from
    unsigned jobs = 0;                  // encodings made and files decoded at once; 0: one a core
    std::string output;
    bool force = false;
    bool quiet = false;                 // as extract's
    bool verbose = false;
};

// A new archive of Bink files named as extract names a batch of both
// encodings, in the order of their clip numbers.
struct PackRequest {
    std::vector<std::string> inputs;    // folders of such files, or the files
    std::string output;                 // publish.pak (its name) has the publisher archive's layout
    bool force = false;
    bool quiet = false;
    bool verbose = false;
    unsigned jobs = 0;                  // files decoded at once; 0: one a core
};

struct RunState {
    Reporter& report;
    // The file title that decides the layout and the disc of every archive the
    // run loads ("disc2.pak", from --disc); empty: each archive's own title.
    std::string discTitle;
    // The subcommands that decode, where this program runs them (Decoding.h);
    // null unless the command line decodes.
    const DecodingCommands* decoding = nullptr;
    // --salvage: of an archive the scan refuses, or whose last clip is cut
    // short, the whole clips before the damage are used (Archive.h).
    bool salvage = false;
};
