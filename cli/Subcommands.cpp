#include "cli/Subcommands.h"

#include "cli/CommandLine.h"
#include "cli/Decoding.h"
#include "cli/ExtractCommand.h"
#include "cli/HelpTexts.h"
#include "cli/ListCommand.h"
#include "cli/PackCommand.h"
#include "cli/PlayCommand.h"
#include "cli/ReplaceCommand.h"
#include "cli/VerifyCommand.h"

const std::vector<Subcommand>& Subcommands()
{
    static const std::vector<Subcommand> table = {
        {"list", "list the clips of an archive", &LIST_HELP,
         [](const CommandLine& line, RunState& run) { return RunList(line.list, run); }, nullptr, nullptr, false},
        {"extract", "extract clips as .bik files, or one clip to standard output", &EXTRACT_HELP,
         [](const CommandLine& line, RunState& run) { return RunExtract(line.extract, run); }, nullptr, nullptr, false},
        {"convert", "convert clips to " + FormatLabels() + " files that any player plays", &CONVERT_HELP,
         [](const CommandLine& line, RunState& run) { return run.decoding->convert(line.convert, run); }, "convert",
         nullptr, false},
        {"encode", "encode videos of any kind as Bink files", &ENCODE_HELP,
         [](const CommandLine& line, RunState& run) { return run.decoding->encode(line.encode, run); }, "encode",
         nullptr, false},
        {"verify", "check that each archive is whole, and say why not", &VERIFY_HELP,
         [](const CommandLine& line, RunState& run) { return RunVerify(line.verify, run); }, "verify --frames",
         [](const CommandLine& line) { return line.verify.frames; }, false},
        {"replace", "write a new archive with one clip's encodings replaced", &REPLACE_HELP,
         [](const CommandLine& line, RunState& run) { return RunReplace(line.replace, run); }, "replace", nullptr,
         true},
        {"pack", "write a new archive of Bink files named as extract names them", &PACK_HELP,
         [](const CommandLine& line, RunState& run) { return RunPack(line.pack, run); }, "pack", nullptr, true},
        {"index", "write a page of posters of every clip, for a browser", &INDEX_HELP,
         [](const CommandLine& line, RunState& run) { return run.decoding->index(line.index, run); }, "index",
         nullptr, false},
        {"url", "print a URL that FFmpeg's tools read a clip from, in place", &URL_HELP,
         [](const CommandLine& line, RunState& run) { return RunUrl(line.clip, run); }, nullptr, nullptr, false},
        {"play", "play a clip straight from its archive", &PLAY_HELP,
         [](const CommandLine& line, RunState& run) { return RunPlay(line.clip, run); }, nullptr, nullptr, false},
        {"help", "show the help of the tool or of one subcommand", &HELP_HELP, nullptr, nullptr, nullptr, false},
    };
    return table;
}

const Subcommand* FindSubcommand(const std::string& name)
{
    for (const Subcommand& command : Subcommands())
        if (name == command.name)
            return &command;
    return nullptr;
}

bool Decodes(const CommandLine& line)
{
    const Subcommand* command = line.command;
    return command && command->decoding && !line.showHelp && (!command->decodesWhen || command->decodesWhen(line));
}
