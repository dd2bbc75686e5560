#pragma once
// Which of the game's discs an archive is, told from its file title alone
// (name and extension, no folder), ignoring the case of ASCII letters.
#include <cstdint>

using DiscId = uint8_t;
constexpr DiscId DISC_NONE = 255;   // the publisher archive or any other archive

struct DiscIdentity {
    DiscId disc;
    const char* label;   // "KVN Disc 1" .. "KVN Disc 4", "Publisher" or "Unknown PAK"
};

DiscIdentity IdentifyDisc(const char* fileTitle);

// The publisher archive's clip entries have no KVP header.
bool IsPublisherArchive(const char* fileTitle);

// The file title of a path: what follows its last '\\', '/' or ':'.
const char* FileTitleOf(const char* path);
