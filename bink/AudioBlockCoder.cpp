#include "bink/AudioBlockCoder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace bink {

namespace {

// The decoder's quantisers are exp(i * QUANTISER_STEP) times its root, for i up to 95.
constexpr double QUANTISER_STEP = 0.15289164787221953823;
constexpr unsigned LAST_QUANTISER = 95;
// Runs are counted in groups of 8 coefficients: a run of one group is one bit
// 0; a longer one is a bit 1 and the 4-bit code of one of 16 lengths.
struct RunLength {
    uint32_t groups;
    unsigned code;
};
constexpr unsigned SHORT_RUN = 16;
constexpr RunLength RUN_LENGTHS[17] = {{1, SHORT_RUN}, {2, 0},  {3, 1},   {4, 2},   {5, 3},   {6, 4},
                                       {8, 5},         {9, 6},  {10, 7},  {11, 8},  {12, 9},  {13, 10},
                                       {14, 11},       {15, 12}, {16, 13}, {32, 14}, {64, 15}};
constexpr uint32_t GROUP = 8;
constexpr unsigned WIDEST = 15;   // a level's width is coded in 4 bits
constexpr int32_t LARGEST_LEVEL = (1 << WIDEST) - 1;
// Masking spreads to the bands above a sound more than to those below it.
constexpr double SPREAD_UP_DB = 15;
constexpr double SPREAD_DOWN_DB = 25;
// A band far quieter than the block's loudest is heard little against it; the
// transform's rectangular window also leaks every tone into every band, and
// such leakage coded closely would take most of the bits.
constexpr double BLOCK_RANGE_DB = 25;
// Levels round up from 0.65 of a step, not 0.5: a level one smaller saves more
// bits than it costs in noise (about 0.5 dB signal-to-noise at the same rate).
constexpr double ROUNDING = 0.35;
// The finest step worth its bits: its noise is about -86 dB of full scale.
constexpr double FINEST_STEP = 4;

double Step(unsigned quantiser)
{
    return std::exp(quantiser * QUANTISER_STEP);
}

unsigned Width(int32_t level)
{
    unsigned width = 0;
    for (uint32_t magnitude = static_cast<uint32_t>(std::abs(level)); magnitude; magnitude >>= 1)
        ++width;
    return width;
}

// A float as the decoder reads it: a 5-bit exponent, a 23-bit mantissa, a sign.
void PutFloat(BitWriter& out, float value)
{
    const double magnitude = std::fabs(double(value));
    unsigned power = 0;
    while (power < 31 && magnitude >= std::ldexp(1.0, int(power)))
        ++power;
    const double scaled = std::min(std::ldexp(magnitude, 23 - int(power)), double((1u << 23) - 1));
    out.Put(power, 5);
    out.Put(static_cast<uint32_t>(std::lround(scaled)) & ((1u << 23) - 1), 23);
    out.PutBit(value < 0);
}

} // namespace

AudioBlockCoder::AudioBlockCoder(std::vector<uint32_t> bandStarts, BandRule rule)
    : m_bandStarts(std::move(bandStarts)), m_rule(rule)
{
    if (m_bandStarts.size() < 2 || m_bandStarts.front() != 2)
        throw std::invalid_argument("audio bands start at the third coefficient");
    m_length = m_bandStarts.back();
    m_quantisers.resize(m_bandStarts.size() - 1);
    m_levels.resize(m_length - 2);
}

void AudioBlockCoder::ChooseQuantisers(const float* coefficients)
{
    const size_t bands = m_quantisers.size();
    std::vector<double> energy(bands, 0.0), largest(bands, 0.0);
    for (size_t b = 0; b < bands; ++b) {
        for (uint32_t i = m_bandStarts[b]; i < m_bandStarts[b + 1]; ++i) {
            energy[b] += double(coefficients[i]) * coefficients[i];
            largest[b] = std::max(largest[b], std::fabs(double(coefficients[i])));
        }
        energy[b] /= std::max<uint32_t>(1, m_bandStarts[b + 1] - m_bandStarts[b]);
    }
    const double loudest = *std::max_element(energy.begin(), energy.end());
    for (size_t b = 0; b < bands; ++b) {
        double mask = loudest * std::pow(10.0, -BLOCK_RANGE_DB / 10);
        for (size_t masker = 0; masker < bands; ++masker) {
            const double distance = masker <= b ? double(b - masker) * SPREAD_UP_DB : double(masker - b) * SPREAD_DOWN_DB;
            mask = std::max(mask, energy[masker] * std::pow(10.0, -distance / 10));
        }
        // Uniform quantisation leaves noise of step^2 / 12 a coefficient.
        const double step = std::max(FINEST_STEP, std::sqrt(12 * mask * std::pow(10.0, -m_rule.noiseUnderMaskDb / 10)));
        unsigned quantiser = static_cast<unsigned>(std::clamp(std::lround(std::log(step) / QUANTISER_STEP), 0l, long(LAST_QUANTISER)));
        while (quantiser < LAST_QUANTISER && largest[b] / Step(quantiser) + ROUNDING >= LARGEST_LEVEL + 1)
            ++quantiser;
        m_quantisers[b] = static_cast<uint8_t>(quantiser);
        const double quantiserStep = Step(quantiser);
        for (uint32_t i = m_bandStarts[b]; i < m_bandStarts[b + 1]; ++i) {
            const double exact = std::fabs(coefficients[i]) / quantiserStep;
            const long level = long(std::floor(exact + ROUNDING)) * (coefficients[i] < 0 ? -1 : 1);
            m_levels[i - 2] = static_cast<int32_t>(std::clamp(level, -long(LARGEST_LEVEL), long(LARGEST_LEVEL)));
        }
    }
}

// The runs that take the fewest bits, found backwards over the groups: a run
// costs its length code, its width and, when the width is not 0, each level's
// bits and a sign for each level not 0. A run past the end stops there.
void AudioBlockCoder::ChooseRuns()
{
    const uint32_t count = static_cast<uint32_t>(m_levels.size());
    const uint32_t groups = (count + GROUP - 1) / GROUP;
    std::vector<unsigned> width(groups, 0);
    std::vector<uint32_t> levelBits(groups, 0), signs(groups, 0), size(groups, 0);
    for (uint32_t g = 0; g < groups; ++g) {
        for (uint32_t i = g * GROUP; i < std::min(count, (g + 1) * GROUP); ++i) {
            width[g] = std::max(width[g], Width(m_levels[i]));
            signs[g] += m_levels[i] != 0;
            ++size[g];
        }
    }
    std::vector<uint64_t> best(groups + 1, 0);
    std::vector<Run> choice(groups);
    for (uint32_t g = groups; g-- > 0;) {
        best[g] = std::numeric_limits<uint64_t>::max();
        unsigned runWidth = 0;
        uint32_t covered = g, coefficients = 0, runSigns = 0;
        for (const RunLength& length : RUN_LENGTHS) {
            const uint32_t end = std::min(groups, g + length.groups);
            for (; covered < end; ++covered) {
                runWidth = std::max(runWidth, width[covered]);
                coefficients += size[covered];
                runSigns += signs[covered];
            }
            const uint64_t bits = (length.code == SHORT_RUN ? 1 : 5) + 4 +
                                  (runWidth ? uint64_t{runWidth} * coefficients + runSigns : 0);
            if (bits + best[end] < best[g]) {
                best[g] = bits + best[end];
                choice[g] = {end - g, length.code, runWidth};
            }
            if (end == groups)
                break;
        }
    }
    m_runs.clear();
    for (uint32_t g = 0; g < groups; g += choice[g].groups)
        m_runs.push_back(choice[g]);
}

void AudioBlockCoder::Put(BitWriter& out, const float* coefficients)
{
    ChooseQuantisers(coefficients);
    ChooseRuns();
    PutFloat(out, coefficients[0]);
    PutFloat(out, coefficients[1]);
    for (uint8_t quantiser : m_quantisers)
        out.Put(quantiser, 8);
    uint32_t at = 0;
    for (const Run& run : m_runs) {
        if (run.lengthCode == SHORT_RUN) {
            out.PutBit(false);
        } else {
            out.PutBit(true);
            out.Put(run.lengthCode, 4);
        }
        out.Put(run.width, 4);
        const uint32_t end = std::min<uint32_t>(static_cast<uint32_t>(m_levels.size()), at + run.groups * GROUP);
        if (run.width) {
            for (uint32_t i = at; i < end; ++i) {
                out.Put(static_cast<uint32_t>(std::abs(m_levels[i])), run.width);
                if (m_levels[i])
                    out.PutBit(m_levels[i] < 0);
            }
        }
        at = end;
    }
}

} // namespace bink
