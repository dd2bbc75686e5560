#include "BatchClipNames.h"

#include <cstdio>
#include <cstring>

namespace {

const char EXTENSION[] = ".bik";

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Cuts text to at most bytes, never inside a UTF-8 sequence.
void CutToBytes(std::string& text, size_t bytes)
{
    if (text.size() <= bytes)
        return;
    size_t end = bytes;
    while (end > 0 && IsContinuationByte(text[end]))
        --end;
    text.resize(end);
}

void TrimTrailingBlanksAndDots(std::string& text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '.'))
        text.pop_back();
}

} // namespace

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

std::string BatchClipName(const std::string& stem, int index, Resolution resolution, const std::string& title)
{
    char number[16];
    std::snprintf(number, sizeof number, "-%03i%c", index + 1, resolution == Resolution::High ? 'h' : 'l');

    std::string name = ReplaceRefusedCharacters(stem) + number;
    for (size_t i = 0; i < name.size() && name[i] == '.'; ++i)
        name[i] = '_';

    std::string safeTitle = ReplaceRefusedCharacters(title);
    const size_t fixed = name.size() + 1 + sizeof EXTENSION - 1;
    CutToBytes(safeTitle, fixed < MAX_FILE_NAME_BYTES ? MAX_FILE_NAME_BYTES - fixed : 0);
    TrimTrailingBlanksAndDots(safeTitle);
    size_t lead = 0;
    while (lead < safeTitle.size() && safeTitle[lead] == ' ')
        ++lead;
    safeTitle.erase(0, lead);
    if (!safeTitle.empty())
        name += " " + safeTitle;
    return name + EXTENSION;
}
