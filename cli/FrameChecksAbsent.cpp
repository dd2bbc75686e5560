// The Windows build decodes nothing: verify --frames is a usage error there.
#include "CommandLine.h"
#include "FrameChecks.h"

std::vector<std::vector<ClipFinding>> CheckFrames(LoadedArchive&, const std::vector<bool>&, unsigned,
                                                  const std::function<void(size_t)>&)
{
    throw UsageError("--frames: this build of zodovu-cli does not decode clips (the Linux build does)");
}
