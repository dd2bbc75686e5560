// zodovu-cli: lists the clips of a disc archive, extracts clips with the
// catalogue and the copy of the viewer, checks archives, and hands a clip to a
// player. Every failure travels here as an exception and is reported once.
#include "CommandLine.h"
#include "Commands.h"
#include "Console.h"
#include "DecodingHandOver.h"
#include "Help.h"
#include "PathNames.h"
#include "Reporting.h"

namespace {

int Run(const CommandLine& line, RunState& run)
{
    switch (line.command) {
    case Subcommand::List: return RunList(line.list, run);
    case Subcommand::Extract: return RunExtract(line.extract, run);
    case Subcommand::Convert: return RunConvert(line.convert, run);
    case Subcommand::Verify: return RunVerify(line.verify, run);
    case Subcommand::Index: return RunIndex(line.index, run);
    case Subcommand::Url: return RunUrl(line.clip, run);
    case Subcommand::Play: return RunPlay(line.clip, run);
    default: return EXIT_USAGE;   // the parse requires a subcommand
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Before anything else, so that the decoding program finds the standard
    // streams as they were given.
    HandOverDecodingCommands(argc, argv);
    // A closed standard stream gets the null device, so that no file the tool
    // opens takes its number: an archive is never read through descriptor 1.
    OpenClosedStandardStreams();
    UseUtf8Paths();
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<const char*> words;
    for (const std::string& argument : arguments)
        words.push_back(argument.c_str());
    const int count = static_cast<int>(words.size());
    Reporter report;
    Subcommand reading = Subcommand::None;
    try {
        const CommandLine line = ParseCommandLine(count, words.data(), reading);
        if (line.showVersion) {
            report.Print(std::string(VERSION_TEXT) + "\n");
            return report.Finish(EXIT_OK);
        }
        if (line.showHelp) {
            report.Print(HelpText(line.command));
            return report.Finish(EXIT_OK);
        }
        RunState run{report, line.discTitle};
        return report.Finish(Run(line, run));
    } catch (const NotInThisBuild& e) {
        report.Error("", e.what());
        return report.Finish(EXIT_USAGE);
    } catch (const UsageError& e) {
        report.ProtectArguments(count, words.data());
        report.Raw(UsageErrorText(e.what(), reading));
        return report.Finish(EXIT_USAGE);
    } catch (const std::exception& e) {
        report.Fail(e);
        return report.Finish(EXIT_FAILED);
    }
}
