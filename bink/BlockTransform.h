#pragma once
// The decoder's 8x8 transform, exactly as it computes it, and the forward
// transform that matches it. Coefficients are in positions (row * 8 + column,
// row the vertical frequency); levels are in scan order (SCAN).
#include <cstddef>
#include <cstdint>

namespace bink {

// What a decoder rebuilds from levels at quantiser table quant: the levels
// times the table, shifted right 11, into their positions.
void Dequantise(const int32_t levels[64], const int32_t quant[64], int32_t coefficients[64]);

// The decoder's inverse transform of coefficients, written over 8x8 pixels
// (put) or added to them (add). Both keep 8 bits as the decoder does: a value
// out of 0..255 wraps round.
void InverseTransformPut(const int32_t coefficients[64], uint8_t* pixels, ptrdiff_t stride);
void InverseTransformAdd(const int32_t coefficients[64], uint8_t* pixels, ptrdiff_t stride);

// The coefficients whose inverse transform (without rounding) is closest to
// the 8x8 samples, as the decoder's transform scales them.
void ForwardTransform(const float samples[64], float coefficients[64]);

// The squared error over the block's pixels that an error of 1 in the
// coefficient at position brings.
float PixelEnergy(int position);

} // namespace bink
