#include "cli/CommandLineParser.h"

#include "catalogue/ClipTable.h"
#include "cli/AsciiLower.h"
#include "cli/Help.h"
#include "cli/OptionWords.h"
#include "cli/Subcommands.h"
#include "cli/UsageError.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

// Clips (or encodings, or posters) worked on at once, at most, as -j takes it.
constexpr unsigned MOST_JOBS = 256;
// The largest picture the encoder takes, and its highest rate in kilobytes a second.
constexpr long long MOST_PICTURE_SIDE = 4096;
constexpr long long MOST_KILOBYTES_PER_SECOND = 100000;

// CLI11 would read "010" as octal and "0x10" as hexadecimal: a number is
// checked here, and given to CLI11 without its leading zeros.
CLI::Validator ClipNumberValidator()
{
    return CLI::Validator(
        [](std::string& text) {
            int number = 0;
            if (!ParseClipNumber(text, number))
                return "not a clip number from 1 to " + std::to_string(MAX_CLIPS) + ": '" + text + "'";
            text = std::to_string(number);
            return std::string();
        },
        "NUMBER");
}

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

CLI::Validator NonEmpty(const std::string& what)
{
    return CLI::Validator(
        [what](std::string& text) { return text.empty() ? "an empty name is no " + what : std::string(); }, "");
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

CLI::App& AddSubcommand(CLI::App& app, const char* name)
{
    CLI::App* sub = app.add_subcommand(FindSubcommand(name)->name);
    sub->set_help_flag("-h,--help");
    return *sub;
}

void AddJobs(CLI::App& command, unsigned& jobs)
{
    command.add_option("-j,--jobs", jobs)->transform(DecimalFrom(1, MOST_JOBS));
}

void AddDisc(CLI::App& command, CommandLine& line)
{
    command
        .add_option_function<std::string>(
            "--disc",
            [&line](const std::string& given) {
                const std::string disc = AsciiLower(given);
                line.discTitle = disc == "publisher" ? "publish.pak" : "disc" + disc + ".pak";
            })
        ->transform(CLI::Validator(
            [](std::string& text) {
                long long number = 0;
                if (ParseDecimal(text, number) && number >= 1 && number <= 4)
                    text = std::to_string(number);   // "01" is disc 1
                return OneOf({"1", "2", "3", "4", "publisher"}, "disc", true)(text);
            },
            "D"));
}

// -q and -v, which every command that writes files takes.
void AddLoudness(CLI::App& command, bool& quiet, bool& verbose)
{
    command.add_flag("-q,--quiet", quiet)->excludes(command.add_flag("-v,--verbose", verbose));
}

void AddSalvage(CLI::App& command, CommandLine& line)
{
    command.add_flag("--salvage", line.salvage);
}

void AddArchive(CLI::App& command, std::string& archive)
{
    command.add_option("ARCHIVE", archive)->required();
}

// The files extract and convert write: which clips, which encodings, where,
// and what is said. The checks of the whole line, for its final callback.
std::function<void()> AddOutputFiles(CLI::App& command, ExtractRequest& request, CommandLine& line)
{
    AddArchive(command, request.archive);
    CLI::Option* selection = command
                                 .add_option_function<std::vector<std::string>>(
                                     "SELECTION",
                                     [&request](const std::vector<std::string>& words) {
                                         for (const std::string& word : words)
                                             ParseSelection(word, request.selection);
                                     })
                                 ->check(SelectionValidator());
    CLI::Option* all = command.add_flag("--all", request.all);
    selection->excludes(all);
    CLI::Option* low = command.add_flag("--lo", request.low);
    CLI::Option* both = command.add_flag("--both", request.both);
    low->excludes(both);
    command.add_option("-o,--output", request.output)->check(NonEmpty("file or folder"));
    command.add_flag("--force", request.force)->excludes(command.add_flag("-n,--no-clobber", request.noClobber));
    AddLoudness(command, request.quiet, request.verbose);
    AddDisc(command, line);
    AddSalvage(command, line);

    return [&request, selection] {
        if (!request.all && selection->count() == 0)
            throw CLI::RequiredError("SELECTION or --all");
        if (request.output == TO_STANDARD_OUTPUT && request.verbose)
            throw CLI::ValidationError("-v", "lists written paths on standard output, which -o - fills with the clip");
        if (request.output == TO_STANDARD_OUTPUT && !SelectsOneFile(request))
            throw CLI::ValidationError("-o -", "standard output takes one clip in one encoding");
    };
}

void AddExtract(CLI::App& app, CommandLine& line)
{
    CLI::App& command = AddSubcommand(app, "extract");
    command.final_callback(AddOutputFiles(command, line.extract, line));
}

// The encoders' settings, convert's and index --convert's (each then needing
// the option needs). The checks of the whole line, for its final callback.
std::function<void()> AddEncoding(CLI::App& command, ConvertRequest& request, CLI::Option* needs = nullptr)
{
    // Each format's names, CRF scale and presets, as the table has them.
    std::vector<std::string> names, presets;
    std::string presetOwner, presetFormats;
    for (const OutputFormat& format : OutputFormats()) {
        names.push_back(format.name);
        for (const char* preset : format.presets)
            if (std::find(presets.begin(), presets.end(), preset) == presets.end())
                presets.push_back(preset);
        if (format.presetOwner) {
            presetOwner = format.presetOwner;
            presetFormats += (presetFormats.empty() ? "" : ", ") + std::string(format.name);
        }
    }
    CLI::Option* options[] = {
        command
            .add_option_function<std::string>(
                "--format", [&request](const std::string& name) { request.format = FindOutputFormat(AsciiLower(name)); })
            ->transform(OneOf(names, "format", true)),
        // Its range is the format's, which may come later on the line.
        command.add_option("--crf", request.crf)->transform(AnyDecimal()),
        command.add_option("--preset", request.preset)->transform(OneOf(presets, "preset", false)),
    };
    const CLI::Option* crf = options[1];
    for (CLI::Option* option : options)
        if (needs)
            option->needs(needs);
    return [&request, crf, presetOwner, presetFormats] {
        const OutputFormat& format = *request.format;
        if (crf->count() > 0 && (request.crf < 0 || request.crf > format.crfMax))
            throw CLI::ValidationError("--crf", "runs from 0 to " + std::to_string(format.crfMax) + " for " + format.name);
        const auto& offered = format.presets;
        if (!request.preset.empty() && std::find(offered.begin(), offered.end(), request.preset) == offered.end())
            throw CLI::ValidationError("--preset", "is " + presetOwner + "'s, for " + presetFormats + " only");
    };
}

void AddConvert(CLI::App& app, CommandLine& line)
{
    ConvertRequest& request = line.convert;
    CLI::App& command = AddSubcommand(app, "convert");
    const std::function<void()> checkFiles = AddOutputFiles(command, request, line);
    const std::function<void()> checkEncoding = AddEncoding(command, request);
    AddJobs(command, request.jobs);
    command.add_flag("--conceal", request.conceal);

    command.final_callback([checkFiles, checkEncoding] {
        checkFiles();
        checkEncoding();
    });
}

void AddIndex(CLI::App& app, CommandLine& line)
{
    IndexRequest& request = line.index;
    CLI::App& command = AddSubcommand(app, "index");
    command.add_option("ARCHIVE", request.archives)->required();
    command.add_option("-o,--output", request.output)->required()->check(NonEmpty("folder"));
    CLI::Option* convert = command.add_flag("--convert", request.convert);
    CLI::Option* low = command.add_flag("--lo", request.conversion.low)->needs(convert);
    CLI::Option* both = command.add_flag("--both", request.conversion.both)->needs(convert);
    low->excludes(both);
    const std::function<void()> checkEncoding = AddEncoding(command, request.conversion, convert);
    command.final_callback([&request, checkEncoding] {
        if (request.output == TO_STANDARD_OUTPUT)
            throw CLI::ValidationError("-o -", "the index is a folder of files, not standard output (./- names a "
                                               "folder called '-')");
        checkEncoding();
    });
    AddJobs(command, request.jobs);
    command.add_flag("--force", request.force);
    command.add_flag("--conceal", request.conversion.conceal);   // the posters' decoding too
    AddLoudness(command, request.quiet, request.verbose);
    AddDisc(command, line);
    AddSalvage(command, line);
}

// The new archive's file: a regular file, which is checked before it takes
// its name, so never standard output. The check of the whole line, for its
// final callback.
std::function<void()> AddArchiveOutput(CLI::App& command, std::string& output, bool& force, bool& quiet,
                                       bool& verbose)
{
    command.add_option("-o,--output", output)->required()->check(NonEmpty("file"));
    command.add_flag("--force", force);
    AddLoudness(command, quiet, verbose);
    return [&output] {
        if (output == TO_STANDARD_OUTPUT)
            throw CLI::ValidationError("-o -", "a new archive is checked before it takes its name, which standard "
                                               "output cannot wait for (./- names a file called '-')");
    };
}

// "640x448": a picture size from 1x1 to 4096x4096.
bool ParsePictureSize(const std::string& text, uint32_t& width, uint32_t& height)
{
    const size_t x = text.find_first_of("xX");
    long long w = 0, h = 0;
    if (x == std::string::npos || !ParseDecimal(text.substr(0, x), w) || !ParseDecimal(text.substr(x + 1), h) ||
        w < 1 || h < 1 || w > MOST_PICTURE_SIDE || h > MOST_PICTURE_SIDE)
        return false;
    width = static_cast<uint32_t>(w);
    height = static_cast<uint32_t>(h);
    return true;
}

// The Bink encoder's rate or quality, encode's and replace --from's (then
// needing the option needs).
void AddEncoderSettings(CLI::App& command, EncodeSettings& settings, CLI::Option* needs = nullptr)
{
    CLI::Option* rate =
        command.add_option("--rate", settings.kilobytesPerSecond)->transform(DecimalFrom(1, MOST_KILOBYTES_PER_SECOND));
    CLI::Option* quality = command.add_option("--quality", settings.quality)->transform(DecimalFrom(1, 100));
    rate->excludes(quality);
    if (needs) {
        rate->needs(needs);
        quality->needs(needs);
    }
}

void AddEncode(CLI::App& app, CommandLine& line)
{
    EncodeRequest& request = line.encode;
    CLI::App& command = AddSubcommand(app, "encode");
    command.add_option("INPUT", request.inputs)->required()->check(NonEmpty("video"));
    command.add_option("-o,--output", request.output)->required()->check(NonEmpty("file or folder"));
    CLI::Option* low = command.add_flag_callback("--lo", [&request] {
        request.settings.width = LOW_RES_WIDTH;
        request.settings.height = LOW_RES_HEIGHT;
    });
    CLI::Option* size =
        command
            .add_option_function<std::string>(
                "--size",
                [&request](const std::string& text) {
                    ParsePictureSize(text, request.settings.width, request.settings.height);
                })
            ->check(CLI::Validator(
                [](std::string& text) {
                    uint32_t width = 0, height = 0;
                    return ParsePictureSize(text, width, height)
                               ? std::string()
                               : "not a picture size from 1x1 to " + std::to_string(MOST_PICTURE_SIDE) + "x" +
                                     std::to_string(MOST_PICTURE_SIDE) + ": '" + text + "'";
                },
                "WxH"));
    low->excludes(size);
    AddEncoderSettings(command, request.settings);
    AddJobs(command, request.jobs);
    command.add_flag("--force", request.force);
    AddLoudness(command, request.quiet, request.verbose);
    command.final_callback([&request] {
        if (request.output == TO_STANDARD_OUTPUT && request.inputs.size() > 1)
            throw CLI::ValidationError("-o -", "standard output takes one video's Bink file");
        if (request.output == TO_STANDARD_OUTPUT && request.verbose)
            throw CLI::ValidationError("-v", "lists written paths on standard output, which -o - fills with the "
                                             "Bink file");
    });
}

void AddReplace(CLI::App& app, CommandLine& line)
{
    ReplaceRequest& request = line.replace;
    CLI::App& command = AddSubcommand(app, "replace");
    AddArchive(command, request.archive);
    command.add_option("CLIP", request.number)->required()->transform(ClipNumberValidator());
    // The new encodings: both given, or both encoded here from a video.
    CLI::Option* hi = command.add_option("--hi", request.hi)->check(NonEmpty("Bink file"));
    CLI::Option* lo = command.add_option("--lo", request.lo)->check(NonEmpty("Bink file"));
    CLI::Option* from = command.add_option("--from", request.from)->check(NonEmpty("video"));
    from->excludes(hi)->excludes(lo);
    AddEncoderSettings(command, request.encoding, from);
    AddJobs(command, request.jobs);
    const std::function<void()> checkOutput =
        AddArchiveOutput(command, request.output, request.force, request.quiet, request.verbose);
    AddDisc(command, line);
    command.final_callback([hi, lo, from, checkOutput] {
        if (from->count() == 0 && hi->count() == 0 && lo->count() == 0)
            throw CLI::ValidationError("--hi and --lo, or --from", "needed for the new encodings");
        if (from->count() == 0 && (hi->count() == 0 || lo->count() == 0))
            throw CLI::RequiredError(hi->count() == 0 ? "--hi" : "--lo");
        checkOutput();
    });
}

void AddPack(CLI::App& app, CommandLine& line)
{
    PackRequest& request = line.pack;
    CLI::App& command = AddSubcommand(app, "pack");
    command.add_option("INPUT", request.inputs)->required()->check(NonEmpty("folder or file"));
    command.final_callback(AddArchiveOutput(command, request.output, request.force, request.quiet, request.verbose));
    AddJobs(command, request.jobs);
}

void AddClip(CLI::App& command, CommandLine& line)
{
    AddArchive(command, line.clip.archive);
    command.add_option("NUMBER", line.clip.number)->required()->transform(ClipNumberValidator());
    command.add_flag("--lo", line.clip.low);
    AddDisc(command, line);
    AddSalvage(command, line);
}

// What is wrong before the subcommand: an option the tool does not have, or a
// first word that names no subcommand; empty when nothing is.
std::string BeforeSubcommand(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.empty() || word[0] != '-')
            return FindSubcommand(word) ? std::string() : UnknownSubcommandText(word);
        if (word != "-h" && word != "--help" && word != "--version")
            return "unknown option '" + word + "'";
    }
    return std::string();
}

} // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv, const Subcommand*& reading)
{
    reading = nullptr;
    const std::string wrong = BeforeSubcommand(argc, argv);
    if (!wrong.empty())
        throw UsageError(wrong);

    CommandLine line;
    CLI::App app{"", "zodovu-cli"};
    // Options begin with '-' on every system: "/dir/disc2.pak" is a path on
    // Windows too, not an option (subcommands inherit the setting).
    app.allow_windows_style_options(false);
    app.set_help_flag("-h,--help");
    app.set_version_flag("--version", "");
    app.require_subcommand(1);

    CLI::App& list = AddSubcommand(app, "list");
    list.add_option("ARCHIVE", line.list.archives)->required();
    list.add_flag("--json", line.list.json);
    AddDisc(list, line);
    AddSalvage(list, line);

    AddExtract(app, line);
    AddConvert(app, line);
    AddEncode(app, line);

    CLI::App& verify = AddSubcommand(app, "verify");
    verify.add_option("ARCHIVE", line.verify.archives)->required();
    verify.add_flag("--json", line.verify.json);
    verify.add_flag("--frames", line.verify.frames);
    AddJobs(verify, line.verify.jobs);
    AddDisc(verify, line);
    AddSalvage(verify, line);

    AddReplace(app, line);
    AddPack(app, line);
    AddIndex(app, line);

    AddClip(AddSubcommand(app, "url"), line);
    CLI::App& play = AddSubcommand(app, "play");
    AddClip(play, line);
    play.add_option("--player", line.clip.player)->check(NonEmpty("program"));

    CLI::App& help = AddSubcommand(app, "help");
    std::string topic;
    help.add_option("SUBCOMMAND", topic);

    // The subcommand being read, for the help or the usage line.
    const auto current = [&app] {
        const std::vector<CLI::App*> parsed = app.get_subcommands();
        return parsed.empty() ? nullptr : FindSubcommand(parsed.front()->get_name());
    };
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        line.command = current();
        line.showHelp = true;
        return line;
    } catch (const CLI::CallForVersion&) {
        line.showVersion = true;
        return line;
    } catch (const CLI::ParseError& e) {
        reading = current();
        throw UsageError(UsageWords(e, app.remaining(true)));
    }
    line.command = current();
    reading = line.command;
    if (line.command == FindSubcommand("help")) {
        line.showHelp = true;
        line.command = topic.empty() ? nullptr : FindSubcommand(topic);
        if (!topic.empty() && !line.command)
            throw UsageError(UnknownSubcommandText(topic));
    }
    return line;
}
