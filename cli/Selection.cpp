#include "cli/Selection.h"

#include "catalogue/ClipTable.h"
#include "cli/UsageError.h"

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

bool ParseClipNumber(const std::string& text, int& number)
{
    if (text.empty())
        return false;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > static_cast<long>(MAX_CLIPS))
            return false;
    }
    if (value < 1)
        return false;
    number = static_cast<int>(value);
    return true;
}

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
    std::vector<bool> chosen(count, ranges.empty());
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

void ThrowNoSuchClip(const std::string& archive, int number, uint32_t count)
{
    throw UsageError(archive + ": no clip " + std::to_string(number) + " (the archive holds " +
                     std::to_string(count) + (count == 1 ? " clip)" : " clips)"));
}
