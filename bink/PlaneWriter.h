#pragma once
// One plane of a frame as the decoder reads it: for each row of 8x8 blocks,
// the values that the row's blocks take from nine bundles (block types,
// colours, motion, DC levels...), each Huffman-coded with the code book that
// costs least for this plane, then the row's blocks' own bits.
#include "bink/BitWriter.h"

#include <array>
#include <cstdint>
#include <vector>

namespace bink {

enum BlockType : uint8_t {
    SKIP_BLOCK = 0,
    SCALED_BLOCK = 1,
    MOTION_BLOCK = 2,
    RUN_BLOCK = 3,
    RESIDUE_BLOCK = 4,
    INTRA_BLOCK = 5,
    FILL_BLOCK = 6,
    INTER_BLOCK = 7,
    PATTERN_BLOCK = 8,
    RAW_BLOCK = 9,
};

// The most a motion vector moves a block in either direction, in pixels.
constexpr int MOST_MOTION = 15;
// The ranges of the DC levels that the bundles carry.
constexpr int MOST_INTRA_DC = 2047;
constexpr int MOST_INTER_DC = 1023;

class PlaneWriter {
public:
    // planeWidth: the plane's width in pixels as the decoder takes it (the
    // picture's, or half of it, rounded down); across x down blocks.
    PlaneWriter(uint32_t planeWidth, uint32_t across, uint32_t down);

    // The blocks in order, row by row. levels are in scan order; the DC level
    // is levels[0].
    void Skip();
    void Fill(uint8_t colour);
    // Two colours, and for each row of pixels a byte whose bit c picks the
    // second colour for column c.
    void Pattern(uint8_t first, uint8_t second, const uint8_t rows[8]);
    void Motion(int x, int y);
    void Intra(const int32_t levels[64], unsigned quantIndex);
    void Inter(int x, int y, const int32_t levels[64], unsigned quantIndex);
    // Any other type, with no values: a block no decoder knows, for tests.
    void Unknown(uint8_t type);

    // The plane's bits, padded to 32 bits.
    void Write(BitWriter& out) const;

private:
    enum Bundle { TYPES, SUB_TYPES, COLOURS, PATTERNS, X_OFFSETS, Y_OFFSETS, INTRA_DC, INTER_DC, RUNS, BUNDLES };
    void Begin(uint8_t type);
    std::vector<int>& Row(Bundle bundle) { return m_values[bundle][m_blocks / m_across]; }

    uint32_t m_across;
    uint32_t m_down;
    uint32_t m_blocks = 0;
    std::array<unsigned, BUNDLES> m_countBits{};
    // Per bundle, per row: the values the row's blocks take.
    std::array<std::vector<std::vector<int>>, BUNDLES> m_values;
    std::vector<BitWriter> m_rowBits;   // the blocks' own bits, per row
};

} // namespace bink
