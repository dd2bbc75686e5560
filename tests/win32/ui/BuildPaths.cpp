#include "BuildPaths.h"

namespace {

// The build gives host paths; Wine shows the host's root as drive Z:.
std::string FromHostPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& ch : path) {
        if (ch == '/')
            ch = '\\';
    }
    return path;
}

}  // namespace

std::string ViewerProgramPath()
{
    return FromHostPath(ZODOVU_VIEWER_EXE);
}
