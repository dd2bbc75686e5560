// The Windows build decodes nothing, so it makes no posters: index says so.
#include "CommandLine.h"
#include "Commands.h"

int RunIndex(const IndexRequest&, RunState&)
{
    throw NotInThisBuild("index is not in this build of zodovu-cli, which does not decode clips (the Linux "
                         "build does)");
}
