#pragma once
// A block's DCT levels as the decoder reads them: bit planes from the highest
// down, each level sent whole in the plane where it first counts, found by
// splitting groups of coefficients as they turn out to hold one.
#include "bink/BitWriter.h"

#include <cstdint>

namespace bink {

// Levels of magnitude up to this fit the 4-bit count of planes.
constexpr int32_t MOST_LEVEL = 32767;

// Writes levels[1..63] (scan order; the DC goes in a bundle), then the
// quantiser's index, 0 to 15.
void PutCoefficients(BitWriter& out, const int32_t levels[64], unsigned quantIndex);

// The bits PutCoefficients writes for levels.
unsigned CoefficientBits(const int32_t levels[64]);

// The same count, kept while levels change one at a time.
class CoefficientBitCount {
public:
    explicit CoefficientBitCount(const int32_t levels[64]);
    void Set(int k, int32_t level);
    unsigned Bits() const;

private:
    static int PartOf(int k);
    unsigned CountPart(int part) const;
    int HighestPlane() const;
    void CountAll();
    int Top(int from, int count) const;
    static unsigned Flags(int first, int top);   // a bit a plane, from first down to top
    unsigned Single(int k, int first) const;
    unsigned Split(int c, int top) const;        // four coefficients taken apart at plane top
    unsigned Quad(int c, int first) const;
    unsigned GroupOf16(int c, int first) const;
    unsigned GroupOf20(int c, int first) const;

    void SetQuadTop(int k);

    int8_t m_top[64];   // per coefficient, the plane where it first counts; -1 for 0
    int8_t m_quadTop[16];   // the same for each four from 0, the highest of them
    uint8_t m_atPlane[15] = {};   // the coefficients that first count in each plane
    int m_first = -1;             // the highest plane
    unsigned m_parts[6];
};

} // namespace bink
