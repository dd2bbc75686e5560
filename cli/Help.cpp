#include "Help.h"

// The version is the project's, set once in the top-level CMakeLists.txt.
const char VERSION_TEXT[] = "zodovu-cli " ZODOVU_VERSION;

namespace {

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
  -q, --quiet            nothing on standard error but errors: no progress
                           line, and a summary only when a file failed
  -v, --verbose          print each file written on standard output
      --disc=D           read ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                           whatever its file name
  -h, --help             show this help and exit
)";
const char FILES_EXIT_STATUS[] = R"(Exit status: 0 every file written; 1 a refused archive, an archive without
clips, or a file that failed; 2 a usage error, also a selection of a clip past
the archive's last one.
)";

// Each help begins with its usage lines, up to the first blank line.
const char TOOL_HELP[] = R"(Usage: zodovu-cli SUBCOMMAND [OPTION]... [ARGUMENT]...
List the movie clips of the game's disc archives, extract them as stand-alone
.bik files or convert them for any player, check archives, and play clips
straight from them.

Subcommands:
  list      list the clips of an archive
  extract   extract clips as .bik files, or one clip to standard output
  convert   convert clips to MP4 or WebM files that any player plays
  verify    check that each archive is whole, and say why not
  index     write a page of posters of every clip, for a browser
  url       print a URL that FFmpeg's tools read a clip from, in place
  play      play a clip straight from its archive
  help      show the help of the tool or of one subcommand

Options:
  -h, --help     show this help and exit
      --version  show the version and exit

Exit status: 0 success; 1 a refused archive or a failed operation; 2 a usage
error. play exits with the player's own status.

'zodovu-cli help SUBCOMMAND' and 'man zodovu-cli' tell more.
)";

const char LIST_HELP[] = R"(Usage: zodovu-cli list [OPTION]... ARCHIVE
List the clips of ARCHIVE: the disc's label, then for each clip its number,
title, length and the sizes of its two encodings.

      --json     one JSON object ("format": 1) instead of the table
      --disc=D   read ARCHIVE as disc D (1, 2, 3, 4 or publisher), whatever
                   its file name
  -h, --help     show this help and exit

Exit status: 0 success; 1 a refused or unreadable archive, or a listing that
could not be written; 2 a usage error.
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
Convert clips of ARCHIVE to files that any player and browser plays: H.264
and AAC in MP4, or VP9 and Opus in WebM, at the clip's own picture size and
frame rate, every frame, the sound as long as the pictures. SELECTION is clip
numbers as the list shows them: 12, a range 3-7, or a comma list of those such
as 1,4-6.

)") + FILE_SELECTION_OPTIONS + R"(  -o, --output=OUTPUT    one clip: the file to write (default ClipNNNh.mp4
                           here); several clips, --both, an existing folder
                           or a name ending in '/': the folder to write into,
                           made when missing (default here), each file named
                           'STEM-NNNh TITLE.mp4'; '-': the one clip to
                           standard output, as a fragmented MP4 or a WebM
      --format=FORMAT    mp4 (the default) or webm
      --crf=N            the quality, lower is better and larger: for mp4
                           0 to 51 (default 20), for webm 0 to 63 (default 32)
      --preset=NAME      x264's speed for mp4, ultrafast, superfast,
                           veryfast, faster, fast, medium (the default), slow,
                           slower, veryslow or placebo: slower, smaller files
  -j, --jobs=N           clips converted at once (default: one a processor;
                           at most 8)
)" + FILE_WRITING_OPTIONS + R"(
Each file appears only when it is complete. In a batch a file that fails is
named with the reason (the clip, the frame) and the others are still written.
The Windows build does not decode clips and has no convert.

)" + FILES_EXIT_STATUS;

const char VERIFY_HELP[] = R"(Usage: zodovu-cli verify [OPTION]... ARCHIVE...
Check that each ARCHIVE is whole: that the scan accepts it, that it holds the
clips of the disc it is, and that the Bink headers of every clip agree with
the archive. Say what is wrong where it is not.

      --frames   also decode every frame and the sound of both encodings of
                   every clip: damage to a clip's bitstream shows (a changed
                   colour may not: it decodes as well as the right one)
  -j, --jobs=N   encodings decoded at once (default: one a processor)
      --json     one JSON object ("format": 1) instead of text
      --disc=D   read each ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                   whatever its file name
  -h, --help     show this help and exit

Exit status: 0 every archive whole; 1 an archive refused, damaged or
unreadable; 2 a usage error.
)";

const char INDEX_HELP[] = R"(Usage: zodovu-cli index [OPTION]... ARCHIVE... -o FOLDER
Write a picture index of each ARCHIVE into FOLDER: index.html, a page that a
browser shows from the folder itself (no network, no script), with a section
a disc and a card a clip (its poster, number, title, length, frames and the
sizes of both encodings), and a poster for each clip: a JPEG of the most
detailed of a few frames from the first half of its high-resolution encoding.
With --convert each clip is converted into FOLDER as convert names it, and
plays in its card; without it, a clip already converted there is linked.

  -o, --output=FOLDER  the folder to write into, made when missing
      --convert        also convert every clip, to play in the page
      --lo             with --convert: the low-resolution encoding instead
      --both           with --convert: both encodings (the page plays the
                         high-resolution one and links the other)
      --format=FORMAT  with --convert: mp4 (the default) or webm
      --crf=N          with --convert: the quality, as convert takes it
      --preset=NAME    with --convert: x264's speed for mp4, as convert
                         takes it
  -j, --jobs=N         posters, then clips, made at once (default: one a
                         processor)
      --force          replace an existing page, poster or converted clip
      --disc=D         read each ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                         whatever its file name
  -h, --help           show this help and exit

A clip that does not decode gets the reason in place of its poster, and the
others are still made; an encoding that made no poster is not converted. The
page is written last and appears only when it is complete. The Windows build
does not decode clips and has no index.

Exit status: 0 every poster (and clip) made; 1 a refused or unreadable
archive, a clip without a poster, a clip not converted, or a page that could
not be written; 2 a usage error.
)";

const char URL_HELP[] = R"(Usage: zodovu-cli url [OPTION]... ARCHIVE NUMBER
Print a URL that FFmpeg's tools (ffprobe, ffplay, ffmpeg) read as clip NUMBER
of ARCHIVE, in place, without a copy.

      --lo       the low-resolution (320x224) encoding
      --disc=D   read ARCHIVE as disc D (1, 2, 3, 4 or publisher), whatever
                   its file name
  -h, --help     show this help and exit

Exit status: 0 success; 1 a refused archive or a clip cut short by the end of
the archive; 2 a usage error, also a clip past the archive's last one.
)";

const char PLAY_HELP[] = R"(Usage: zodovu-cli play [OPTION]... ARCHIVE NUMBER
Play clip NUMBER of ARCHIVE straight from the archive with ffplay, or with
another player, which gets the clip's URL as its last argument.

      --lo              the low-resolution (320x224) encoding
      --player=PROGRAM  the player to start instead of ffplay
      --disc=D          read ARCHIVE as disc D (1, 2, 3, 4 or publisher),
                          whatever its file name
  -h, --help            show this help and exit

Exit status: the player's own (128+N when signal N ended it); 1 a refused
archive, a clip cut short, or a player that cannot be started; 2 a usage
error, also a clip past the archive's last one.
)";

const char HELP_HELP[] = R"(Usage: zodovu-cli help [SUBCOMMAND]
Show the help of the tool, or of SUBCOMMAND.

  -h, --help     show this help and exit

Exit status: 0 success; 2 a subcommand that does not exist.
)";

const std::string HELPS[] = {TOOL_HELP, LIST_HELP, EXTRACT_HELP, CONVERT_HELP, VERIFY_HELP,
                            INDEX_HELP, URL_HELP, PLAY_HELP, HELP_HELP};

} // namespace

std::string HelpText(Subcommand command)
{
    return HELPS[static_cast<int>(command)];
}

std::string UsageErrorText(const std::string& message, Subcommand command)
{
    const std::string help = HelpText(command);
    // The usage lines: up to the line that no longer begins "Usage:" or "  or:".
    std::string usage;
    for (size_t start = 0; start < help.size();) {
        const size_t end = help.find('\n', start);
        const std::string line = help.substr(start, end - start);
        if (line.rfind("Usage:", 0) != 0 && line.rfind("  or:", 0) != 0)
            break;
        usage += line + "\n";
        start = end + 1;
    }
    std::string more = "'zodovu-cli --help'";
    if (command != Subcommand::None)
        more += std::string(" or 'zodovu-cli help ") + SubcommandName(command) + "'";
    return "zodovu-cli: " + message + "\n" + usage + "Try " + more + " for more information.\n";
}

std::string UnknownSubcommandText(const std::string& name)
{
    std::string names;
    for (int i = 1; i <= static_cast<int>(Subcommand::Help); ++i)
        names += std::string(names.empty() ? "" : ", ") + SubcommandName(static_cast<Subcommand>(i));
    return "unknown subcommand '" + name + "' (the subcommands are " + names + ")";
}
