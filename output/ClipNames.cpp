#include "output/ClipNames.h"

#include "file/PathNames.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

void TrimTrailingBlanksAndDots(std::string& text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '.'))
        text.pop_back();
}

} // namespace

std::string ProposedClipName(int index, Resolution resolution, const std::string& extension)
{
    char name[32];
    std::snprintf(name, sizeof name, "Clip%03i%c", index + 1, resolution == Resolution::High ? 'h' : 'l');
    return name + extension;
}

std::string ArchiveStem(const std::string& fileTitle)
{
    const size_t dot = fileTitle.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return fileTitle;
    return fileTitle.substr(0, dot);
}

std::string ReplaceRefusedCharacters(const std::string& text)
{
    std::string safe = text;
    for (char& c : safe) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::strchr("/\\:*?\"<>|", c))
            c = '_';
    }
    return safe;
}

std::string BatchClipName(const std::string& stem, int index, Resolution resolution, const std::string& title,
                          const std::string& extension)
{
    char number[16];
    std::snprintf(number, sizeof number, "-%03i%c", index + 1, resolution == Resolution::High ? 'h' : 'l');

    // The stem gives way only where even an empty title leaves no room.
    std::string safeStem = ReplaceRefusedCharacters(stem);
    CutUtf8(safeStem, MAX_FILE_NAME_BYTES - std::strlen(number) - extension.size());
    std::string name = safeStem + number;
    for (size_t i = 0; i < name.size() && name[i] == '.'; ++i)
        name[i] = '_';

    std::string safeTitle = ReplaceRefusedCharacters(title);
    const size_t fixed = name.size() + 1 + extension.size();
    CutUtf8(safeTitle, fixed < MAX_FILE_NAME_BYTES ? MAX_FILE_NAME_BYTES - fixed : 0);
    TrimTrailingBlanksAndDots(safeTitle);
    size_t lead = 0;
    while (lead < safeTitle.size() && safeTitle[lead] == ' ')
        ++lead;
    safeTitle.erase(0, lead);
    if (!safeTitle.empty())
        name += " " + safeTitle;
    return name + extension;
}

bool ParseBatchClipName(const std::string& name, int& index, Resolution& resolution)
{
    const std::string extension = ".bik";
    if (name.size() <= extension.size())
        return false;
    const size_t stemEnd = name.size() - extension.size();
    for (size_t i = 0; i < extension.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[stemEnd + i])) != extension[i])
            return false;
    // "-" three digits, 'h' or 'l', then the end of the stem or a blank.
    for (size_t at = name.find('-'); at != std::string::npos && at + 5 <= stemEnd; at = name.find('-', at + 1)) {
        const char* digits = name.c_str() + at + 1;
        const char kind = digits[3];
        const size_t after = at + 5;
        if (!std::isdigit(static_cast<unsigned char>(digits[0])) || !std::isdigit(static_cast<unsigned char>(digits[1])) ||
            !std::isdigit(static_cast<unsigned char>(digits[2])) || (kind != 'h' && kind != 'l') ||
            (after != stemEnd && name[after] != ' '))
            continue;
        const int number = (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
        if (number < 1 || number > static_cast<int>(MAX_CLIPS))
            return false;
        index = number - 1;
        resolution = kind == 'h' ? Resolution::High : Resolution::Low;
        return true;
    }
    return false;
}
