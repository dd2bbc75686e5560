#pragma once
// verify --frames: every encoding of every clip decoded, several at once, in a
// program that decodes (Decoding.h).
#include "media/FrameCheck.h"

#include <functional>
#include <vector>

struct LoadedArchive;

// The frames' findings of each encoding the plain checks passed, in the order
// of encodings (clip 1 high, clip 1 low, ...); check[e] says whether encoding
// e is to be decoded (one not decoded finds nothing). done is called, on the
// calling thread, as encodings finish.
using FrameChecker = std::vector<FramesFinding> (*)(LoadedArchive& archive, const std::vector<bool>& check,
                                                    unsigned jobs, const std::function<void(size_t done)>& done);
std::vector<FramesFinding> CheckFrames(LoadedArchive& archive, const std::vector<bool>& check, unsigned jobs,
                                       const std::function<void(size_t done)>& done);
