// A build without FFmpeg's libraries decodes nothing, and says so in one line.
#include "cli/Decoding.h"
#include "cli/Subcommands.h"
#include "cli/UsageError.h"

bool BuildDecodes()
{
    return false;
}

const DecodingCommands& ReachDecoding(const Subcommand& command, int, char**)
{
    throw NotInThisBuild(std::string(command.decoding) + " is not in this build of zodovu-cli, which does not decode "
                                                         "clips");
}
