#include "ClipSelection.h"

#include "ClipNumber.h"

#include <algorithm>
#include <sstream>

namespace {

bool ParseRange(const std::string& part, ClipRange& range)
{
    const size_t dash = part.find('-');
    if (dash == std::string::npos) {
        if (!ParseClipNumber(part, range.first))
            return false;
        range.last = range.first;
        return true;
    }
    return ParseClipNumber(part.substr(0, dash), range.first) &&
           ParseClipNumber(part.substr(dash + 1), range.last) && range.first <= range.last;
}

} // namespace

bool ParseSelection(const std::string& word, std::vector<ClipRange>& ranges)
{
    if (word.empty() || word.back() == ',')
        return false;
    std::istringstream parts(word);
    for (std::string part; std::getline(parts, part, ',');) {
        ClipRange range;
        if (!ParseRange(part, range))
            return false;
        ranges.push_back(range);
    }
    return true;
}

bool SelectClips(const std::vector<ClipRange>& ranges, uint32_t count, std::vector<int>& indices, int& unknown)
{
    std::vector<bool> chosen(count, false);
    for (const ClipRange& range : ranges) {
        if (static_cast<uint32_t>(range.last) > count) {
            unknown = std::max(range.first, static_cast<int>(count) + 1);
            return false;
        }
        std::fill(chosen.begin() + (range.first - 1), chosen.begin() + range.last, true);
    }
    indices.clear();
    for (uint32_t i = 0; i < count; ++i)
        if (chosen[i])
            indices.push_back(static_cast<int>(i));
    return true;
}
