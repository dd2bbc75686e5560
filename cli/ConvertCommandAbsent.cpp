// The Windows build decodes nothing, so it converts nothing: convert says so.
#include "CommandLine.h"
#include "Conversion.h"

namespace {

[[noreturn]] void ThrowNotInThisBuild()
{
    throw NotInThisBuild("convert is not in this build of zodovu-cli, which does not decode clips (the Linux "
                         "build does)");
}

} // namespace

int RunConvert(const ConvertRequest&, RunState&)
{
    ThrowNotInThisBuild();
}

size_t ConvertFiles(LoadedArchive&, const std::vector<PlannedFile>&, bool, const ConvertRequest&, RunState&,
                    std::vector<std::string>*)
{
    ThrowNotInThisBuild();
}
