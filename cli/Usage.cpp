#include "Usage.h"

#include "ExitStatus.h"

#include <iostream>

namespace {

const char TOOL[] = "zodovu-cli";

const CLI::App* FindSubcommand(const CLI::App& app, const std::string& name)
{
    for (const CLI::App* command : app.get_subcommands({}))
        if (command->get_name() == name)
            return command;
    return nullptr;
}

std::string SubcommandNames(const CLI::App& app)
{
    std::string names;
    for (const CLI::App* command : app.get_subcommands({}))
        names += (names.empty() ? "" : ", ") + command->get_name();
    return names;
}

} // namespace

std::string UnknownSubcommand(const CLI::App& app, int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.empty() || word[0] != '-')
            return FindSubcommand(app, word) ? std::string() : word;
    }
    return std::string();
}

int ReportUsageError(const CLI::App& app, const std::string& message)
{
    // After a parse, the subcommand that was being read is the parsed one.
    const std::vector<CLI::App*> parsed = app.get_subcommands();
    const CLI::App* command = parsed.empty() ? &app : parsed.front();
    const std::string name = command == &app ? TOOL : std::string(TOOL) + " " + command->get_name();
    std::string more = std::string("'") + TOOL + " --help'";
    if (command != &app)
        more += std::string(" or '") + TOOL + " help " + command->get_name() + "'";
    std::cerr << TOOL << ": " << message << '\n'
              << CLI::Formatter().make_usage(command, name) << "Try " << more << " for more information.\n";
    return EXIT_USAGE;
}

int ReportUnknownSubcommand(const CLI::App& app, const std::string& name)
{
    return ReportUsageError(app, "unknown subcommand '" + name + "' (the subcommands are " +
                                     SubcommandNames(app) + ")");
}

CLI::App* AddHelpCommand(CLI::App& app, std::string& topic)
{
    CLI::App* command = app.add_subcommand("help", "Show the help of the tool or of one subcommand.");
    command->add_option("SUBCOMMAND", topic, "The subcommand to explain.");
    command->footer("Exit status: 0 success; 2 a subcommand that does not exist.");
    return command;
}

int RunHelp(const CLI::App& app, const std::string& topic)
{
    if (topic.empty()) {
        // App::help would show the help of the subcommand parsed: help itself.
        std::cout << app.get_formatter()->make_help(&app, TOOL, CLI::AppFormatMode::Normal);
        return EXIT_OK;
    }
    const CLI::App* command = FindSubcommand(app, topic);
    if (!command)
        return ReportUnknownSubcommand(app, topic);
    std::cout << command->help(TOOL);
    return EXIT_OK;   // main flushes standard output and reports a failed write
}
