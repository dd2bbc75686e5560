#pragma once
// Codes one channel's coefficients of a Bink audio block: the first two as
// floats, a quantiser a band, then the rest in runs of 8-coefficient groups,
// each run with one bit width.
#include "bink/BitWriter.h"

#include <cstdint>
#include <vector>

namespace bink {

// How finely a band is quantised: the quantisation noise is kept this many
// decibels under the band's masking level, the largest of its own mean energy,
// its neighbours' (15 dB less a band above them, 25 dB less a band below) and
// the block's loudest band's less 25 dB; and never finer than a floor far under
// hearing.
struct BandRule {
    double noiseUnderMaskDb = 20;
};

class AudioBlockCoder {
public:
    // bandStarts as bink::BandStarts gives them; its last entry is the transform's length.
    AudioBlockCoder(std::vector<uint32_t> bandStarts, BandRule rule);
    // coefficients: the transform's length of them, in the bitstream's units.
    void Put(BitWriter& out, const float* coefficients);

private:
    void ChooseQuantisers(const float* coefficients);
    void ChooseRuns();

    std::vector<uint32_t> m_bandStarts;
    BandRule m_rule;
    uint32_t m_length;
    std::vector<uint8_t> m_quantisers;   // per band: an index into the decoder's table
    std::vector<int32_t> m_levels;       // quantised coefficients, from 2 on
    struct Run {
        uint32_t groups;
        unsigned lengthCode;   // 16: the single-group run, coded by one bit
        unsigned width;
    };
    std::vector<Run> m_runs;
};

} // namespace bink
