#pragma once
// zodovu-cli play ARCHIVE NUMBER [--lo] [--player PROGRAM]: a player reads the
// clip straight from the archive through its subfile URL; no copy is made.
#include "ClipRequest.h"

struct PlayRequest {
    ClipRequest clip;
    std::string player;   // empty: ffplay, with the clip's title as its window title
};

CLI::App* AddPlayCommand(CLI::App& app, PlayRequest& request);
// The player's own exit status (128 + N when signal N ended it); EXIT_FAILED
// when the clip cannot be found or the player cannot be started.
int RunPlay(const PlayRequest& request);
