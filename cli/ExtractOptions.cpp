#include "ExtractOptions.h"

#include "ClipTable.h"
#include "DiscOption.h"

namespace {

// CLI11 would read "010" as octal and "0x10" as hexadecimal; a selection is
// parsed here instead, as decimal numbers.
CLI::Validator SelectionValidator()
{
    return CLI::Validator(
        [](std::string& text) {
            std::vector<ClipRange> ranges;
            if (!ParseSelection(text, ranges))
                return "not a clip number (1 to " + std::to_string(MAX_CLIPS) +
                       "), a range like 3-7 or a comma list of those: '" + text + "'";
            return std::string();
        },
        "SELECTION");
}

CLI::Validator NonEmpty()
{
    return CLI::Validator(
        [](std::string& text) { return text.empty() ? std::string("an empty name is no file or folder") : std::string(); },
        "OUTPUT");
}

// Whether the request names exactly one file's worth, before the archive is read.
bool SelectsOneFile(const ExtractRequest& request)
{
    if (request.all || request.both || request.selection.empty())
        return false;
    const int number = request.selection.front().first;
    for (const ClipRange& range : request.selection)
        if (range.first != number || range.last != number)
            return false;
    return true;
}

} // namespace

CLI::App* AddExtractCommand(CLI::App& app, ExtractRequest& request)
{
    CLI::App& command = *app.add_subcommand("extract", "Extract clips to .bik files, or one clip to stdout.");
    command.add_option("ARCHIVE", request.archive, "The disc archive (.pak).")->required();
    CLI::Option* selection =
        command
            .add_option_function<std::vector<std::string>>(
                "SELECTION",
                [&request](const std::vector<std::string>& words) {
                    for (const std::string& word : words)
                        ParseSelection(word, request.selection);
                },
                "Clip numbers as the list shows them: 12, 3-7 or 1,4-6.")
            ->check(SelectionValidator());
    CLI::Option* all = command.add_flag("--all", request.all, "Every clip of the archive.");
    selection->excludes(all);
    CLI::Option* low = command.add_flag("--lo", request.low, "The low-resolution (320x224) encoding.");
    CLI::Option* both = command.add_flag("--both", request.both, "Both encodings of each clip.");
    low->excludes(both);
    command.add_option("-o,--output", request.output,
                       "One clip: the file to write (default ClipNNNh.bik here). Several clips, --both, or an "
                       "existing folder or a name ending in /: the folder, made when missing (default here), "
                       "each file named 'STEM-NNNh TITLE.bik'. -: the one clip to standard output.")
        ->check(NonEmpty());
    command.add_flag("--force", request.force,
                     "Replace an existing regular file. A device or a FIFO is written into with or without "
                     "it; nothing else is ever replaced.");
    CLI::Option* quiet = command.add_flag("-q,--quiet", request.quiet,
                                          "Nothing on stderr but errors: no progress bar, no summary unless a file failed.");
    CLI::Option* verbose = command.add_flag("-v,--verbose", request.verbose, "Each written path on stdout, one a line.");
    quiet->excludes(verbose);
    AddDiscOption(command);
    command.footer("Exit status: 0 every file written; 1 a rejected archive or any file that failed (the\n"
                   "others are still written); 2 a usage error, a selection of a clip past the archive's\n"
                   "last one included.");

    command.final_callback([&request, selection] {
        if (!request.all && selection->count() == 0)
            throw CLI::RequiredError("SELECTION or --all");
        if (request.output == STANDARD_OUTPUT && request.verbose)
            throw CLI::ValidationError("-v", "lists written paths on standard output, which -o - fills with the clip");
        if (request.output == STANDARD_OUTPUT && !SelectsOneFile(request))
            throw CLI::ValidationError("-o -", "standard output takes one clip in one encoding");
    });
    return &command;
}
