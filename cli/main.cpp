// zodovu-cli: lists the clips of a disc archive, extracts clips with the
// catalogue and the copy of the viewer, checks, converts and indexes archives,
// and hands a clip to a player. Every failure travels here as an exception and
// is reported once.
#include "cli/CommandLineParser.h"
#include "cli/Decoding.h"
#include "cli/ExitStatus.h"
#include "cli/Help.h"
#include "cli/Reporting.h"
#include "cli/Subcommands.h"
#include "cli/UsageError.h"
#include "cli/Version.h"
#include "file/Console.h"
#include "file/PathNames.h"

#include <exception>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<const char*> words;
    for (const std::string& argument : arguments)
        words.push_back(argument.c_str());
    const int count = static_cast<int>(words.size());

    // The command line is read before anything else is done: one that decodes
    // may go on in the decoding program, which must find the standard streams
    // as they were given. What fails here is said once the streams are sound.
    CommandLine line;
    const Subcommand* reading = nullptr;
    const DecodingCommands* decoding = nullptr;
    std::exception_ptr failure;
    try {
        line = ParseCommandLine(count, words.data(), reading);
        // A command that runs without decoding gets none from a build without it.
        if (Decodes(line) && (BuildDecodes() || !line.command->runsWithoutDecoding))
            decoding = &ReachDecoding(*line.command, argc, argv);
    } catch (...) {
        failure = std::current_exception();
    }

    // A closed standard stream gets the null device, so that no file the tool
    // opens takes its number: an archive is never read through descriptor 1.
    OpenClosedStandardStreams();
    UseUtf8Paths();
    Reporter report;
    try {
        if (failure)
            std::rethrow_exception(failure);
        if (line.showVersion) {
            report.Print(std::string(VERSION_TEXT) + "\n");
            return report.Finish(EXIT_OK);
        }
        if (line.showHelp) {
            report.Print(HelpText(line.command));
            return report.Finish(EXIT_OK);
        }
        RunState run{report, line.discTitle, decoding, line.salvage};
        return report.Finish(line.command->run(line, run));
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
