#include "cli/HelpTexts.h"

#include "cli/ConvertCommand.h"
#include "media/OutputFormats.h"

#include <vector>

namespace {

constexpr size_t MOST_COLUMNS = 79;   // a line of 80 would wrap on some terminals
constexpr char GLUE = '\x1F';         // between words that stay on one line

// text's words filled into lines of at most MOST_COLUMNS, the first after
// prefix, the others after indent blanks; GLUE joins words like a blank that
// never breaks.
std::string Filled(const std::string& prefix, const std::string& text, size_t indent)
{
    std::string filled = prefix, line = prefix;
    bool first = true;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        std::string word = text.substr(start, end - start);
        start = end + 1;
        if (!first && line.size() + 1 + word.size() > MOST_COLUMNS) {
            filled += "\n" + std::string(indent, ' ');
            line = std::string(indent, ' ');
        } else if (!first) {
            filled += ' ';
            line += ' ';
        }
        first = false;
        filled += word;
        line += word;
    }
    for (char& c : filled)
        if (c == GLUE)
            c = ' ';
    return filled + "\n";
}

std::string Glued(std::string text)
{
    for (char& c : text)
        if (c == ' ')
            c = GLUE;
    return text;
}

// "mp4 (the default) or webm"
std::string FormatChoices()
{
    std::vector<std::string> names;
    for (const OutputFormat& format : OutputFormats())
        names.push_back(std::string(format.name) + (&format == &DefaultOutputFormat() ? " (the default)" : ""));
    return Listed(names);
}

// "for mp4 0 to 51 (default 20), for webm 0 to 63 (default 32)"
std::string CrfRanges()
{
    std::string ranges;
    for (const OutputFormat& format : OutputFormats())
        ranges += (ranges.empty() ? "for " : ", for ") + std::string(format.name) + " " +
                  Glued("0 to " + std::to_string(format.crfMax) + " (default " + std::to_string(format.crfDefault) +
                        ")");
    return ranges;
}

// "x264's speed for mp4"; with the presets listed, "x264's speed for mp4,
// ultrafast, ..., medium (the default), ... or placebo".
std::string PresetOwners(bool listed)
{
    std::string owners;
    for (const OutputFormat& format : OutputFormats()) {
        if (!format.presetOwner)
            continue;
        owners += (owners.empty() ? "" : "; ") + std::string(format.presetOwner) + "'s speed for " + format.name;
        if (!listed)
            continue;
        std::vector<std::string> presets;
        for (const char* preset : format.presets)
            presets.push_back(preset == std::string(format.presetDefault) ? Glued(std::string(preset) + " (the default)")
                                                                          : std::string(preset));
        owners += ", " + Listed(presets);
    }
    return owners;
}

// "H.264 and AAC in MP4, or VP9 and Opus in WebM"
std::string FormatContents()
{
    std::vector<std::string> contents;
    for (const OutputFormat& format : OutputFormats())
        contents.push_back(std::string(format.contents) + " in " + format.label);
    return Listed(contents, ", or");
}

// What extract and convert share, word for word: the choice of clips and
// encodings, the options of writing files, and their exit statuses.
const char FILE_SELECTION_OPTIONS[] = R"(      --all              every clip of the archive
      --lo               the low-resolution (320x224) encoding instead of
                           the high-resolution (640x448) one
      --both             both encodings of each clip
)";
const char FILE_WRITING_OPTIONS[] = R"(      --force            replace an existing regular file; a device or a
                           FIFO named by -o is written into with or without
                           it, and nothing else is ever replaced
  -n, --no-clobber       keep an existing regular file, counted as skipped:
                           a run cut short is finished by running it again
  -q, --quiet            nothing on standard error but errors: no progress
                           line, and a summary only when a file failed
  -v, --verbose          print each file written on standard output
      --disc=D           read ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                           whatever its file name
      --salvage          of a damaged ARCHIVE, use the whole clips before
                           the damage; the damage is still said (status 1)
  -h, --help             show this help and exit
)";
const char FILES_EXIT_STATUS[] = R"(Exit status: 0 every file written; 1 a refused or salvaged archive, an
archive without clips, or a file that failed; 2 a usage error, also a
selection of a clip past the archive's last one.
)";

// The tool's help, its subcommands listed between these. Each help begins with
// its usage lines, up to the first blank line.
} // namespace

const char TOOL_HELP_START[] = R"(Usage: zodovu-cli SUBCOMMAND [OPTION]... [ARGUMENT]...
List the movie clips of the game's disc archives, extract them as stand-alone
.bik files or convert them for any player, check archives, write new ones with
clips replaced or packed, and play clips straight from them.

Subcommands:
)";
const char TOOL_HELP_START_WITHOUT_DECODING[] = R"(Usage: zodovu-cli SUBCOMMAND [OPTION]... [ARGUMENT]...
List the movie clips of the game's disc archives, extract them as stand-alone
.bik files, check archives, write new ones with clips replaced or packed, and
play clips straight from them.

Subcommands:
)";
const char TOOL_HELP_END[] = R"(
Options:
  -h, --help     show this help and exit
      --version  show the version and exit

Exit status: 0 success; 1 a refused archive or a failed operation; 2 a usage
error; 141 the reader of standard output went away. play exits with the
player's own status.

'zodovu-cli help SUBCOMMAND' and 'man zodovu-cli' tell more.
)";

const std::string LIST_HELP = R"(Usage: zodovu-cli list [OPTION]... ARCHIVE...
List the clips of each ARCHIVE: the disc's label, then for each clip its
number, title, length and the sizes of its two encodings; several archives
each under its path. An archive whose clip count is one disc's but whose name
is none (a renamed copy) is noted on standard error with the --disc to try.

      --json     one JSON object ("format": 1) instead of the table; with
                   several archives, each in its array "archives"
      --disc=D   read each ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                   whatever its file name
      --salvage  of a damaged ARCHIVE, list the whole clips before the
                   damage; the damage is still said (status 1)
  -h, --help     show this help and exit

Exit status: 0 success; 1 a refused, salvaged or unreadable archive (the
others listed), or a listing that could not be written; 2 a usage error.
)";

const std::string EXTRACT_HELP = std::string(R"(Usage: zodovu-cli extract [OPTION]... ARCHIVE SELECTION...
  or:  zodovu-cli extract [OPTION]... ARCHIVE --all
Extract clips of ARCHIVE as stand-alone .bik files, or one clip to standard
output. SELECTION is clip numbers as the list shows them: 12, a range 3-7, or
a comma list of those such as 1,4-6.

)") + FILE_SELECTION_OPTIONS + R"(  -o, --output=OUTPUT    one clip: the file to write (default ClipNNNh.bik
                           here); several clips, --both, an existing folder
                           or a name ending in '/': the folder to write into,
                           made when missing (default here), each file named
                           'STEM-NNNh TITLE.bik'; '-': the one clip to
                           standard output
)" + FILE_WRITING_OPTIONS + R"(
Each file appears only when it is complete. In a batch a file that fails is
named with the reason and the others are still written.

)" + FILES_EXIT_STATUS;

const std::string CONVERT_HELP = std::string(R"(Usage: zodovu-cli convert [OPTION]... ARCHIVE SELECTION...
  or:  zodovu-cli convert [OPTION]... ARCHIVE --all
)") + Filled("", "Convert clips of ARCHIVE to files that any player and browser plays: " + FormatContents() +
                     ", at the clip's own picture size and frame rate, every frame, the sound as long as the "
                     "pictures. SELECTION is clip numbers as the list shows them: 12, a range 3-7, or a comma list of "
                     "those " + Glued("such as 1,4-6."),
                 0) +
                                 "\n" + FILE_SELECTION_OPTIONS + R"(  -o, --output=OUTPUT    one clip: the file to write (default ClipNNNh.mp4
                           here); several clips, --both, an existing folder
                           or a name ending in '/': the folder to write into,
                           made when missing (default here), each file named
                           'STEM-NNNh TITLE.mp4'; '-': the one clip to
                           standard output, as a fragmented MP4 or a WebM
)" + Filled("      --format=FORMAT    ", FormatChoices(), 27) +
                                 Filled("      --crf=N            ",
                                        "the quality, lower is better and larger: " + CrfRanges(), 27) +
                                 Filled("      --preset=NAME      ",
                                        PresetOwners(true) + ": slower, smaller files", 27) +
                                 Filled("  -j, --jobs=N           ",
                                        "clips converted at once (default: one a processor; " +
                                            Glued("at most " + std::to_string(MOST_CONVERSIONS_AT_ONCE) + ")"),
                                        27) +
                                 R"(      --conceal          write a clip whose frames do not all decode: a lost
                           picture shows the one before it, lost sound is
                           silence; the file is named with the frames
                           concealed, and the run ends in status 1
)" + FILE_WRITING_OPTIONS + R"(
Each file appears only when it is complete. In a batch a file that fails is
named with the reason (the clip, the frame) and the others are still written.

)" + FILES_EXIT_STATUS;

const std::string ENCODE_HELP = std::string(R"(Usage: zodovu-cli encode [OPTION]... INPUT -o OUTPUT.bik
  or:  zodovu-cli encode [OPTION]... INPUT... -o FOLDER
Encode each INPUT, a video of any kind FFmpeg reads, as a Bink file that the
game plays: its pictures scaled to 640x448, keeping their shape with black
bars, at 15 frames a second; its sound, if any, at its own rate within 8000
to 48000 Hz, in mono or stereo (more channels are mixed down).

  -o, --output=OUTPUT    one INPUT: the file to write, or an existing folder
                           or a name ending in '/' to write INPUT.bik into;
                           several: the folder, made when missing, each file
                           named after its INPUT with .bik; '-': the one
                           file to standard output
      --lo               the low-resolution size, 320x224
      --size=WxH         any picture size from 1x1 to 4096x4096
      --rate=KBPS        the file's rate in kilobytes (1024 bytes) a second,
                           sound included (default 300, a double-speed CD
                           drive's)
      --quality=Q        a constant quality from 1 (smallest) to 100 (best)
                           instead of a rate
)") + Filled("  -j, --jobs=N           ",
                                       "videos encoded at once (default: one a processor; " +
                                           Glued("at most " + std::to_string(MOST_CONVERSIONS_AT_ONCE) + ")"),
                                       27) +
                                R"(      --force            replace an existing regular file; a device or a
                           FIFO named by -o is written into with or without
                           it, and nothing else is ever replaced
  -q, --quiet            nothing on standard error but errors: no progress
                           line, and no summary
  -v, --verbose          print each file written on standard output
  -h, --help             show this help and exit

Each file appears only when it is complete; its frames wait on the disk, not
in memory, beside it (or, for standard output, in the folder for temporary
files). In a batch a file that fails is named with the reason and the others
are still written.

Exit status: 0 every file written; 1 an INPUT that cannot be read or has no
pictures, or a file that failed; 2 a usage error.
)";

const std::string VERIFY_HELP = R"(Usage: zodovu-cli verify [OPTION]... ARCHIVE...
Check that each ARCHIVE is whole: that the scan accepts it, that it holds the
clips of the disc it is, and that the Bink headers of every clip agree with
the archive. Say what is wrong where it is not.

      --frames   also decode every frame and every sound track of both
                   encodings of every clip: damage to a clip's bitstream
                   shows (a changed colour may not: it decodes as well as
                   the right one); with --json each damaged encoding gives
                   its first damaged frame and the frames that decode
  -j, --jobs=N   encodings decoded at once (default: one a processor)
      --json     one JSON object ("format": 1) instead of text
      --disc=D   read each ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                   whatever its file name
      --salvage  of a damaged ARCHIVE, check the whole clips before the
                   damage as well (the archive is still not whole)
  -h, --help     show this help and exit

Exit status: 0 every archive whole; 1 an archive refused, damaged or
unreadable; 2 a usage error.
)";

const std::string REPLACE_HELP = R"(Usage: zodovu-cli replace [OPTION]... ARCHIVE CLIP --hi FILE --lo FILE -o NEW
  or:  zodovu-cli replace [OPTION]... ARCHIVE CLIP --from VIDEO -o NEW
Write NEW, a copy of ARCHIVE in which clip CLIP (its number as the list shows
it) has the two given Bink files as its encodings, or two encoded from VIDEO
as encode encodes them. Every other byte stays as it was: the other clips,
and the clip's header and filler blocks but for the frame count that the
header holds. Later clips move when the clip changes size, so a game that
finds clips by their offsets needs an archive of the same layout.

      --hi=FILE          the new high-resolution (640x448) encoding
      --lo=FILE          the new low-resolution (320x224) encoding
      --from=VIDEO       a video of any kind FFmpeg reads, encoded at both
                           sizes instead (their frames wait on the disk
                           beside NEW)
      --rate=KBPS        with --from: each file's rate in kilobytes (1024
                           bytes) a second, sound included (default 300)
      --quality=Q        with --from: a constant quality from 1 to 100
                           instead of a rate
  -j, --jobs=N           encodings made, and files decoded, at once
                           (default: one a processor)
  -o, --output=NEW       the new archive; never ARCHIVE itself, nor a device
                           or standard output
      --force            replace an existing regular file NEW
  -q, --quiet            nothing on standard error but errors and warnings
  -v, --verbose          print NEW on standard output once written
      --disc=D           read ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                           whatever its file name; NEW has its layout
  -h, --help             show this help and exit

Both files are checked before anything is written, as verify --frames checks
an encoding: a file whose header is wrong about its size, its picture size
or its frame index is refused. Files of one clip with different frame counts
are taken, and the difference said: the high-resolution count is the clip's.
NEW is checked in turn, and appears only when it passes.

Exit status: 0 NEW written; 1 a refused archive, Bink file or VIDEO, or a
failure to write; 2 a usage error, also a clip past the archive's last one.
)";

const std::string PACK_HELP = R"(Usage: zodovu-cli pack [OPTION]... -o NEW FOLDER
  or:  zodovu-cli pack [OPTION]... -o NEW FILE...
Write NEW, an archive of Bink files named as 'extract --all --both' names
them ('STEM-NNNh TITLE.bik' and 'STEM-NNNl TITLE.bik'), clip NNN of each pair
in the order of the numbers. NEW named publish.pak has the publisher
archive's layout (no clip headers); any other name a disc archive's. In a
FOLDER the .bik files are taken, and other files left alone.

  -o, --output=NEW       the new archive; never one of the files packed, nor
                           a device or standard output
  -j, --jobs=N           files decoded at once (default: one a processor)
      --force            replace an existing regular file NEW
  -q, --quiet            nothing on standard error but errors and warnings
  -v, --verbose          print NEW on standard output once written
  -h, --help             show this help and exit

The clips are numbered from 1 without a gap, each with both files. Every file
is checked before anything is written, as replace checks one, and NEW in
turn, which appears only when it passes. The clip headers and filler blocks of
an archive the files came from are not known here: NEW has no filler blocks.

Exit status: 0 NEW written; 1 a refused or missing file, a gap in the clip
numbers, two files for one clip's encoding, or a failure to write; 2 a usage
error, also a FILE whose name is not such a name.
)";

const std::string INDEX_HELP = R"(Usage: zodovu-cli index [OPTION]... ARCHIVE... -o FOLDER
Write a picture index of each ARCHIVE into FOLDER: index.html, a page that a
browser shows from the folder itself (no network, no script), with a section
a disc and a card a clip (its poster, number, title, length, frames and the
sizes of both encodings), and a poster for each clip: a JPEG of the most
detailed of a few frames from the first half of its high-resolution encoding.
With --convert each clip is converted into FOLDER as convert names it, and
plays in its card; without it, a clip already converted there is linked.
Into a folder it wrote before, index goes on from there: posters and clips
already there are used, the missing ones made, and its own page rewritten.

  -o, --output=FOLDER  the folder to write into, made when missing
      --convert        also convert every clip, to play in the page
      --lo             with --convert: the low-resolution encoding instead
      --both           with --convert: both encodings (the page plays the
                         high-resolution one and links the other)
)" + Filled("      --format=FORMAT  ", "with --convert: " + FormatChoices(), 25) +
                               R"(      --crf=N          with --convert: the quality, as convert takes it
)" + Filled("      --preset=NAME    ", "with --convert: " + PresetOwners(false) + ", " + Glued("as convert takes it"), 25) +
                               R"(  -j, --jobs=N         posters, then clips, made at once (default: one a
                         processor)
      --force          make every file anew, and replace a page that index
                         did not write
      --conceal        a clip whose frames do not all decode gets its poster
                         (and file) with them concealed, as convert --conceal
                         does, and is named with the frames concealed
  -q, --quiet          nothing on standard error but errors: no progress
                         line, and a summary only when something failed
  -v, --verbose        print each file written on standard output
      --disc=D         read each ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                         whatever its file name
      --salvage        of a damaged ARCHIVE, index the whole clips before
                         the damage; the damage is still said (status 1)
  -h, --help           show this help and exit

A clip that does not decode gets the reason in place of its poster, and the
others are still made; an encoding that made no poster is not converted. The
page is written last and appears only when it is complete.

Exit status: 0 every poster (and clip) made; 1 a refused, salvaged or
unreadable archive, a clip without a poster, a clip not converted or with
frames concealed, or a page that could not be written; 2 a usage error.
)";

const std::string URL_HELP = R"(Usage: zodovu-cli url [OPTION]... ARCHIVE NUMBER
Print a URL that FFmpeg's tools (ffprobe, ffplay, ffmpeg) read as clip NUMBER
of ARCHIVE, in place, without a copy.

      --lo       the low-resolution (320x224) encoding
      --disc=D   read ARCHIVE as disc D (1, 2, 3, 4 or publisher), whatever
                   its file name
      --salvage  of a damaged ARCHIVE, take the whole clips before the
                   damage; the damage is still said (status 1)
  -h, --help     show this help and exit

Exit status: 0 success; 1 a refused or salvaged archive, or a clip cut short
by the end of the archive; 2 a usage error, also a clip past the archive's
last one.
)";

const std::string PLAY_HELP = R"(Usage: zodovu-cli play [OPTION]... ARCHIVE NUMBER
Play clip NUMBER of ARCHIVE straight from the archive with ffplay, or with
another player, which gets the clip's URL as its last argument.

      --lo              the low-resolution (320x224) encoding
      --player=PROGRAM  the player to start instead of ffplay
      --disc=D          read ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                          whatever its file name
      --salvage         of a damaged ARCHIVE, take the whole clips before
                          the damage; the damage is still said (status 1
                          when the player's is 0)
  -h, --help            show this help and exit

Exit status: the player's own (128+N when signal N ended it); 1 a refused
archive, a clip cut short, or a player that cannot be started; 2 a usage
error, also a clip past the archive's last one.
)";

const std::string HELP_HELP = R"(Usage: zodovu-cli help [SUBCOMMAND]
Show the help of the tool, or of SUBCOMMAND.

  -h, --help     show this help and exit

Exit status: 0 success; 2 a subcommand that does not exist.
)";

std::string FormatLabels()
{
    std::vector<std::string> labels;
    for (const OutputFormat& format : OutputFormats())
        labels.push_back(format.label);
    return Listed(labels);
}

std::string Listed(const std::vector<std::string>& items, const std::string& last)
{
    std::string listed;
    for (size_t i = 0; i < items.size(); ++i)
        listed += (i == 0 ? "" : i + 1 < items.size() ? ", " : last + " ") + items[i];
    return listed;
}
