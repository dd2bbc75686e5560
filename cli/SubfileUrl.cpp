#include "SubfileUrl.h"

std::string SubfileUrl(const std::string& absolutePath, uint64_t start, uint64_t end)
{
    return "subfile,,start," + std::to_string(start) + ",end," + std::to_string(end) + ",,:" + absolutePath;
}
