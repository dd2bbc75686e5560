#pragma once
// Which clips an extract takes: numbers as the list shows them (decimal, from 1),
// ranges "3-7" and comma lists of those ("1,4-6").
#include <cstdint>
#include <string>
#include <vector>

struct ClipRange {
    int first;   // 1-based, first <= last
    int last;
};

// Appends the ranges of one selection word; false when the word is anything
// else (an empty part, a reversed range, a number that ParseClipNumber refuses).
bool ParseSelection(const std::string& word, std::vector<ClipRange>& ranges);

// The 0-based indices of the selected clips, each once, in the list's order.
// False, with the first number past count in unknown, when a range reaches past the last clip.
bool SelectClips(const std::vector<ClipRange>& ranges, uint32_t count, std::vector<int>& indices, int& unknown);
