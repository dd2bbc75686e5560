#include "bink/CoefficientCoder.h"

#include <algorithm>
#include <cstdlib>

namespace bink {

namespace {

// The decoder's list of what is still to find: a group of 20 coefficients
// (its first 4 alone, then 16 in fours), a group of 16, a group of 4, or one.
enum Mode { GROUP_OF_20 = 0, GROUP_OF_16 = 1, QUAD = 2, SINGLE = 3 };

void Code(BitWriter& out, const int32_t levels[64])
{
    // The plane where each level counts first: the highest bit of its magnitude.
    int8_t top[64];
    int most = -1;
    for (int k = 1; k < 64; ++k) {
        int bit = -1;
        for (uint32_t m = static_cast<uint32_t>(std::abs(levels[k])); m; m >>= 1)
            ++bit;
        top[k] = static_cast<int8_t>(bit);
        most = std::max(most, bit);
    }
    const unsigned planes = static_cast<unsigned>(std::min(most + 1, 15));
    out.Put(planes, 4);

    int coefficient[128], mode[128];
    int start = 64, end = 64;
    const auto add = [&](int c, int m) { coefficient[end] = c, mode[end++] = m; };
    add(4, GROUP_OF_20), add(24, GROUP_OF_20), add(44, GROUP_OF_20);
    add(1, SINGLE), add(2, SINGLE), add(3, SINGLE);
    // A coefficient is sent in the plane where it counts first, and only
    // there: until then its group or its single stands for it.
    for (int bits = static_cast<int>(planes) - 1; bits >= 0; --bits) {
        const int32_t threshold = 1 << bits;
        const auto counts = [&](int k) { return top[k] == bits; };
        const auto any = [&](int from, int count) {
            for (int k = from; k < from + count; ++k)
                if (top[k] >= bits)
                    return true;
            return false;
        };
        const auto putLevel = [&](int k) {
            const int32_t level = levels[k];
            if (bits > 0)
                out.Put(static_cast<uint32_t>(std::abs(level) - threshold), static_cast<unsigned>(bits));
            out.PutBit(level < 0);
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

namespace {

// The plane where a level first counts: the highest bit of its magnitude; -1 for 0.
int TopBit(int32_t level)
{
    const uint32_t magnitude = static_cast<uint32_t>(std::abs(level));
    return magnitude ? 31 - __builtin_clz(magnitude) : -1;
}

} // namespace

// The same count without the list: each group, quad or single reads a bit in
// every plane from the first it is looked at in down to the plane where it
// first holds a level that counts (or down to the last plane), and then splits
// or gives its level.
CoefficientBitCount::CoefficientBitCount(const int32_t levels[64])
{
    m_top[0] = -1;
    for (int k = 1; k < 64; ++k) {
        m_top[k] = static_cast<int8_t>(std::min(TopBit(levels[k]), 14));
        if (m_top[k] >= 0)
            ++m_atPlane[m_top[k]];
    }
    for (int k = 0; k < 64; k += 4)
        SetQuadTop(k);
    CountAll();
}

// The three singles 1 to 3, then the groups of 20 from 4, 24 and 44.
int CoefficientBitCount::PartOf(int k)
{
    return k < 4 ? k - 1 : 3 + (k - 4) / 20;
}

unsigned CoefficientBitCount::CountPart(int part) const
{
    return part < 3 ? Single(part + 1, m_first) : GroupOf20(4 + 20 * (part - 3), m_first);
}

int CoefficientBitCount::HighestPlane() const
{
    int plane = 14;
    while (plane >= 0 && m_atPlane[plane] == 0)
        --plane;
    return plane;
}

void CoefficientBitCount::CountAll()
{
    m_first = HighestPlane();
    for (int part = 0; part < 6; ++part)
        m_parts[part] = CountPart(part);
}

void CoefficientBitCount::Set(int k, int32_t level)
{
    if (m_top[k] >= 0)
        --m_atPlane[m_top[k]];
    m_top[k] = static_cast<int8_t>(std::min(TopBit(level), 14));
    if (m_top[k] >= 0)
        ++m_atPlane[m_top[k]];
    SetQuadTop(k);
    // Only k's own part changes, unless the count of planes does.
    if (HighestPlane() != m_first)
        CountAll();
    else
        m_parts[PartOf(k)] = CountPart(PartOf(k));
}

unsigned CoefficientBitCount::Bits() const
{
    unsigned bits = 4 + 4;   // the count of planes, and the quantiser
    for (unsigned part : m_parts)
        bits += part;
    return bits;
}

void CoefficientBitCount::SetQuadTop(int k)
{
    const int8_t* quad = m_top + (k & ~3);
    m_quadTop[k / 4] = std::max(std::max(quad[0], quad[1]), std::max(quad[2], quad[3]));
}

// from and count are whole fours here.
int CoefficientBitCount::Top(int from, int count) const
{
    return *std::max_element(m_quadTop + from / 4, m_quadTop + (from + count) / 4);
}

unsigned CoefficientBitCount::Flags(int first, int top)
{
    return first < 0 ? 0 : top >= 0 ? first - top + 1 : first + 1;
}

unsigned CoefficientBitCount::Single(int k, int first) const
{
    const int top = m_top[k];
    return Flags(first, top) + (first >= 0 && top >= 0 ? top + 1 : 0);
}

unsigned CoefficientBitCount::Split(int c, int top) const
{
    unsigned bits = 0;
    for (int k = c; k < c + 4; ++k)
        bits += 1 + (m_top[k] == top ? top + 1 : Single(k, top - 1));
    return bits;
}

unsigned CoefficientBitCount::Quad(int c, int first) const
{
    const int top = Top(c, 4);
    return Flags(first, top) + (first >= 0 && top >= 0 ? Split(c, top) : 0);
}

unsigned CoefficientBitCount::GroupOf16(int c, int first) const
{
    const int top = Top(c, 16);
    unsigned bits = Flags(first, top);
    if (first >= 0 && top >= 0)
        for (int q = c; q < c + 16; q += 4)
            bits += Quad(q, top);
    return bits;
}

unsigned CoefficientBitCount::GroupOf20(int c, int first) const
{
    const int top = Top(c, 20);
    return Flags(first, top) + (first >= 0 && top >= 0 ? Split(c, top) + GroupOf16(c + 4, top) : 0);
}

unsigned CoefficientBits(const int32_t levels[64])
{
    return CoefficientBitCount(levels).Bits();
}

} // namespace bink
