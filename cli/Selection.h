#pragma once
// Which clips a command takes. Clip numbers are decimal, as the list shows them:
// leading zeros are allowed and still mean decimal ("010" is clip 10), and
// nothing else ("0x10", "+3", " 3", "1e2") is a number. A selection word is a
// number, a range "3-7" or a comma list of those ("1,4-6").
#include <cstdint>
#include <string>
#include <vector>

struct ClipRange {
    int first;   // 1-based, first <= last
    int last;
};

// True and number set when text is a decimal number from 1 to MAX_CLIPS.
bool ParseClipNumber(const std::string& text, int& number);

// Appends the ranges of one selection word; false when the word is anything
// else (an empty part, a reversed range, a number that ParseClipNumber refuses).
bool ParseSelection(const std::string& word, std::vector<ClipRange>& ranges);

// The 0-based indices of the selected clips (every clip with none given), each
// once, in the list's order. False, with the first number past count in
// unknown, when a range reaches past the last clip.
bool SelectClips(const std::vector<ClipRange>& ranges, uint32_t count, std::vector<int>& indices, int& unknown);

// The usage error of a clip number past the archive's last clip.
[[noreturn]] void ThrowNoSuchClip(const std::string& archive, int number, uint32_t count);
