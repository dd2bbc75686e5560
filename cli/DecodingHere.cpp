// The program that decodes: it links FFmpeg's libraries and runs the decoding
// commands itself.
#include "ConvertCommand.h"
#include "Decoding.h"
#include "IndexCommand.h"

bool BuildDecodes()
{
    return true;
}

const DecodingCommands& ReachDecoding(const Subcommand&, int, char**)
{
    static const DecodingCommands here = {RunConvert, RunIndex, CheckFrames};
    return here;
}
