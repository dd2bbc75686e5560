#pragma once
// Names the viewer builds: for viewing, the temporary clip, the player and the
// player's parameters; and the folder of a chosen file. Paths are Windows paths
// held in fixed buffers of MAX_PATH_CHARS, terminator included. Platform-free,
// so that every tree builds and tests it.
#include "catalogue/ClipTable.h"

#include <cstddef>
#include <string>

constexpr size_t MAX_PATH_CHARS = 260;

// The main window's radio group stores the index of the chosen button: 0 is the
// high-resolution one, any other the low.
Resolution ResolutionFromIndex(int index);

struct PlayerCommand {
    std::string tempClip;    // folder + "~clip.bik"
    std::string player;      // folder + "binkplay.exe"
    std::string parameters;  // "\"" temp "\"" and, full screen, "/D108 /R /C" (high) or "/D102 /R /C" (low)
};

// The tool's own folder: the module path up to and including its last backslash
// (empty when there is none).
std::string ToolFolderOf(const char* modulePath);

// False when a string would not fit its MAX_PATH_CHARS buffer (a folder of more
// than 237 characters, in either mode, leaves no room for the full-screen
// parameters); nothing is built then.
bool BuildPlayerCommand(const std::string& toolFolder, bool fullscreen, Resolution resolution,
                        PlayerCommand& command);

// The folder of a chosen file: the first (path length - name length) characters.
std::string FolderOfChosenFile(const std::string& pathName, const std::string& fileName);
