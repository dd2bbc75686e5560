// The count of a block's bits that the encoder's choices rest on is the count
// the writer writes, for every shape of block: empty, one level, levels in
// every plane, the largest levels.
#include "bink/CoefficientCoder.h"

#include <gtest/gtest.h>

#include <random>

TEST(CoefficientCoder, CountsTheBitsItWrites)
{
    std::mt19937 random(7);
    for (int block = 0; block < 20000; ++block) {
        int32_t levels[64] = {};
        const int most = block % 7 == 0 ? bink::MOST_LEVEL : 1 << (block % 12);
        const int filled = block % 64;
        for (int i = 0; i < filled; ++i)
            levels[1 + random() % 63] = static_cast<int32_t>(random() % (2 * most + 1)) - most;
        bink::BitWriter out;
        bink::PutCoefficients(out, levels, 3);
        ASSERT_EQ(bink::CoefficientBits(levels), out.Count()) << "block " << block;
    }
}

TEST(CoefficientCoder, KeepsTheCountAsLevelsChange)
{
    std::mt19937 random(11);
    int32_t levels[64] = {};
    bink::CoefficientBitCount count(levels);
    for (int change = 0; change < 20000; ++change) {
        const int k = 1 + static_cast<int>(random() % 63);
        levels[k] = change % 5 == 0 ? 0 : static_cast<int32_t>(random() % 4001) - 2000;
        count.Set(k, levels[k]);
        ASSERT_EQ(count.Bits(), bink::CoefficientBits(levels)) << "change " << change;
    }
}
