#include "ui/ViewerNames.h"

#include <cstring>

namespace {

const char TEMP_CLIP_NAME[] = "~clip.bik";
const char PLAYER_NAME[] = "binkplay.exe";
const char FULLSCREEN_HIGH[] = "/D108 /R /C";   // the 640x448 encoding
const char FULLSCREEN_LOW[] = "/D102 /R /C";    // the 320x224 encoding

// The longest string a View builds is the full-screen parameter string:
// two quotes, the folder, "~clip.bik" and an 11-character option string.
constexpr size_t LONGEST_SUFFIX = 2 + sizeof(TEMP_CLIP_NAME) - 1 + sizeof(FULLSCREEN_HIGH) - 1;

} // namespace

Resolution ResolutionFromIndex(int index)
{
    return index == 0 ? Resolution::High : Resolution::Low;
}

std::string ToolFolderOf(const char* modulePath)
{
    if (!modulePath)
        return std::string();
    const char* lastSeparator = std::strrchr(modulePath, '\\');
    if (!lastSeparator)
        return std::string();
    return std::string(modulePath, lastSeparator + 1);
}

bool BuildPlayerCommand(const std::string& toolFolder, bool fullscreen, Resolution resolution,
                        PlayerCommand& command)
{
    // One limit for both modes, so that whether View works does not hang on the
    // full-screen check box.
    if (toolFolder.size() + LONGEST_SUFFIX > MAX_PATH_CHARS - 1)
        return false;

    command.tempClip = toolFolder + TEMP_CLIP_NAME;
    command.player = toolFolder + PLAYER_NAME;
    command.parameters = "\"" + command.tempClip + "\"";
    if (fullscreen)
        command.parameters += resolution == Resolution::High ? FULLSCREEN_HIGH : FULLSCREEN_LOW;
    return true;
}

std::string FolderOfChosenFile(const std::string& pathName, const std::string& fileName)
{
    if (fileName.size() > pathName.size())
        return std::string();
    return pathName.substr(0, pathName.size() - fileName.size());
}
