// The Windows build decodes nothing: verify --frames says so, in one line.
#include "CommandLine.h"
#include "FrameChecks.h"

void RequireFrameChecks()
{
    throw NotInThisBuild("verify --frames is not in this build of zodovu-cli, which does not decode clips (the "
                         "Linux build does)");
}

std::vector<std::vector<ClipFinding>> CheckFrames(LoadedArchive&, const std::vector<bool>&, unsigned,
                                                  const std::function<void(size_t)>&)
{
    RequireFrameChecks();
    return {};
}
