#pragma once
#include <cstdint>

// Which file a handle or a path reaches, whatever the spelling or link that
// led there: the device (volume) and the file's number on it.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& other) const { return volume == other.volume && index == other.index; }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
