#pragma once
// Any video FFmpeg reads encoded as a Bink 1 file by our own encoder (bink/):
// its pictures scaled to the size asked for, keeping their shape with black
// bars, at 15 a second; its sound, when it has any, at its own rate within
// what Bink carries (8000 to 48000 Hz), in mono or stereo. The frames go to a
// sink as they are made, so that memory stays flat however long the video:
// a few pictures wait, never the whole input.
#include "bink/ClipEncoder.h"

#include <atomic>
#include <cstdint>
#include <vector>

class VideoInput;

struct BinkEncodingSettings {
    uint32_t width = 640;
    uint32_t height = 448;
    double kilobytesPerSecond = 300;   // the whole file's, sound included
    unsigned quality = 0;              // 1 to 100 instead of a rate; 0: by the rate
};

struct BinkEncoded {
    std::vector<uint8_t> head;   // what comes before the frames in the file
    uint32_t frames = 0;
    uint64_t fileSize = 0;       // the head's bytes and the frames'
};

// Encodes input into frames. framesDone, when given, counts the pictures
// encoded, for another thread to read. Throws CFailure naming the input (one
// that decodes to no picture too), or std::invalid_argument for settings the
// encoder refuses.
BinkEncoded EncodeBink(VideoInput& input, const BinkEncodingSettings& settings, bink::FrameSink& frames,
                       std::atomic<uint32_t>* framesDone = nullptr);

// The rate Bink sound takes nearest to the input's: its own within 8000 to 48000 Hz.
int BinkSampleRate(int inputRate);
