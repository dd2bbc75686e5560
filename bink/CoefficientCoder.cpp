#include "bink/CoefficientCoder.h"

#include <algorithm>
#include <cstdlib>

namespace bink {

namespace {

struct BitCounter {
    unsigned bits = 0;
    void Put(uint32_t, unsigned count) { bits += count; }
    void PutBit(bool) { ++bits; }
};

// The decoder's list of what is still to find: a group of 20 coefficients
// (its first 4 alone, then 16 in fours), a group of 16, a group of 4, or one.
enum Mode { GROUP_OF_20 = 0, GROUP_OF_16 = 1, QUAD = 2, SINGLE = 3 };

template <typename Writer>
void Code(Writer& out, const int32_t levels[64])
{
    int32_t most = 0;
    for (int k = 1; k < 64; ++k)
        most = std::max(most, std::abs(levels[k]));
    unsigned planes = 0;
    while (planes < 15 && (most >> planes) != 0)
        ++planes;
    out.Put(planes, 4);

    int coefficient[128], mode[128];
    int start = 64, end = 64;
    const auto add = [&](int c, int m) { coefficient[end] = c, mode[end++] = m; };
    add(4, GROUP_OF_20), add(24, GROUP_OF_20), add(44, GROUP_OF_20);
    add(1, SINGLE), add(2, SINGLE), add(3, SINGLE);
    bool sent[64] = {};

    for (int bits = static_cast<int>(planes) - 1; bits >= 0; --bits) {
        const int32_t threshold = 1 << bits;
        const auto counts = [&](int k) { return !sent[k] && std::abs(levels[k]) >= threshold; };
        const auto any = [&](int from, int count) {
            for (int k = from; k < from + count; ++k)
                if (counts(k))
                    return true;
            return false;
        };
        const auto putLevel = [&](int k) {
            const int32_t level = levels[k];
            if (bits > 0)
                out.Put(static_cast<uint32_t>(std::abs(level) - threshold), static_cast<unsigned>(bits));
            out.PutBit(level < 0);
            sent[k] = true;
        };
        // Four coefficients from c: each counts now, or waits as a single.
        const auto quad = [&](int c) {
            for (int k = c; k < c + 4; ++k) {
                if (counts(k)) {
                    out.PutBit(false);
                    putLevel(k);
                } else {
                    out.PutBit(true);
                    --start;
                    coefficient[start] = k, mode[start] = SINGLE;
                }
            }
        };
        for (int at = start; at < end;) {
            const int c = coefficient[at], m = mode[at];
            if (c == 0 && m == 0) {
                ++at;
                continue;
            }
            const int span = m == GROUP_OF_20 ? 20 : m == GROUP_OF_16 ? 16 : m == QUAD ? 4 : 1;
            const bool found = any(c, span);
            out.PutBit(found);
            if (!found) {
                ++at;
                continue;
            }
            switch (m) {
            case GROUP_OF_20:
                coefficient[at] = c + 4, mode[at] = GROUP_OF_16;
                quad(c);
                break;   // the rest of the group is looked at again at once
            case GROUP_OF_16:
                mode[at] = QUAD;
                add(c + 4, QUAD), add(c + 8, QUAD), add(c + 12, QUAD);
                break;
            case QUAD:
                coefficient[at] = 0, mode[at] = 0;
                ++at;
                quad(c);
                break;
            default:
                putLevel(c);
                coefficient[at] = 0, mode[at] = 0;
                ++at;
                break;
            }
        }
    }
}

} // namespace

void PutCoefficients(BitWriter& out, const int32_t levels[64], unsigned quantIndex)
{
    Code(out, levels);
    out.Put(quantIndex, 4);
}

unsigned CoefficientBits(const int32_t levels[64])
{
    BitCounter counter;
    Code(counter, levels);
    return counter.bits + 4;
}

} // namespace bink
