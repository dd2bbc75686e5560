#pragma once
// The tables of Bink 1 video, version "i", as every decoder of the format has
// them: the scan order of DCT coefficients, the 16 Huffman code books of the
// bundles, and the 16 intra and 16 inter quantiser tables.
#include <cstdint>

namespace bink {

// Coefficient k of a block's scan lies at position SCAN[k] (row * 8 + column).
extern const uint8_t SCAN[64];
// Code book b gives leaf k the code TREE_CODES[b][k] of TREE_LENGTHS[b][k]
// bits, read least significant bit first; shorter codes come first.
extern const uint8_t TREE_CODES[16][16];
extern const uint8_t TREE_LENGTHS[16][16];
// Dequantisation: coefficient k's level times QUANT[q][k], shifted right 11.
extern const int32_t INTRA_QUANT[16][64];
extern const int32_t INTER_QUANT[16][64];

} // namespace bink
