#include "cli/Help.h"

#include "cli/Decoding.h"
#include "cli/HelpTexts.h"
#include "cli/Subcommands.h"

#include <algorithm>

namespace {

// A subcommand that decodes clips, and nothing else: a build without decoding has none.
bool OnlyDecodes(const Subcommand& command)
{
    return command.decoding && !command.decodesWhen && !command.runsWithoutDecoding;
}

} // namespace

std::string HelpText(const Subcommand* command)
{
    if (command && command->runsWithoutDecoding && !BuildDecodes())
        return *command->help + "\nThis build of zodovu-cli does not decode clips: " + command->name +
               " checks no frames, and says so.\n";
    if (command && command->decoding && !BuildDecodes())
        return *command->help + "\nThis build of zodovu-cli does not decode clips: it has no " + command->decoding +
               ".\n";
    if (command)
        return *command->help;
    std::string help = BuildDecodes() ? TOOL_HELP_START : TOOL_HELP_START_WITHOUT_DECODING;
    for (const Subcommand& listed : Subcommands()) {
        if (OnlyDecodes(listed) && !BuildDecodes())
            continue;
        std::string name = listed.name;
        name.resize(std::max<size_t>(name.size() + 1, 10), ' ');
        help += "  " + name + listed.summary + "\n";
    }
    return help + TOOL_HELP_END;
}

std::string UsageErrorText(const std::string& message, const Subcommand* command)
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
    if (command)
        more += std::string(" or 'zodovu-cli help ") + command->name + "'";
    return "zodovu-cli: " + message + "\n" + usage + "Try " + more + " for more information.\n";
}

std::string UnknownSubcommandText(const std::string& name)
{
    std::string names;
    for (const Subcommand& command : Subcommands())
        if (!OnlyDecodes(command) || BuildDecodes())
            names += std::string(names.empty() ? "" : ", ") + command.name;
    return "unknown subcommand '" + name + "' (the subcommands are " + names + ")";
}
