// The program that decodes: it links FFmpeg's libraries and runs the decoding
// commands itself.
#include "cli/ConvertCommand.h"
#include "cli/Decoding.h"
#include "cli/EncodeCommand.h"
#include "cli/IndexCommand.h"

bool BuildDecodes()
{
    return true;
}

const DecodingCommands& ReachDecoding(const Subcommand&, int, char**)
{
    static const DecodingCommands here = {RunConvert, RunIndex, CheckFrames, CheckEncodingFrames, RunEncode,
                                               EncodeBinkInputs};
    return here;
}
