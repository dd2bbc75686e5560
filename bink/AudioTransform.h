#pragma once
// The analysis that Bink audio's synthesis undoes. Coefficients come in the
// units the bitstream carries: what the decoder multiplies by its root (and by
// a band's quantiser) before its inverse transform, for samples at 16-bit scale.
//
// RDFT kind: the decoder's real inverse DFT gives
//   x[n] = (c0 + c1 (-1)^n) / 2 + sum_k c(2k) cos(2 pi k n / N) + c(2k+1) sin(2 pi k n / N)
// with c = v * 2 / (sqrt(N) * 32768), so v(2k) = Re X(k) / sqrt(N) and
// v(2k+1) = -Im X(k) / sqrt(N), X being the DFT of the 16-bit samples
// (v0 and v1: X(0) and X(N/2)).
// DCT kind: the decoder doubles c0, then its DCT-III gives
//   x[n] = 2 / N sum_k c(k) cos(pi k (n + 1/2) / N), with c = v * sqrt(N) / 32768,
// so v is the DCT-II of the samples over sqrt(N), v0 halved.
#include "bink/BinkFile.h"

#include <complex>
#include <cstdint>
#include <vector>

namespace bink {

class AudioTransform {
public:
    // length: a power of two, 16 or more.
    AudioTransform(uint32_t length, AudioCodec codec);
    uint32_t Length() const { return m_length; }
    // samples and coefficients: Length() values each.
    void Forward(const float* samples, float* coefficients);

private:
    void Fft(std::vector<std::complex<double>>& data) const;

    uint32_t m_length;
    AudioCodec m_codec;
    std::vector<std::complex<double>> m_twiddles;   // e^(-2 pi i k / length), k < length / 2
    std::vector<std::complex<double>> m_dctShift;   // e^(-i pi k / (2 length))
    std::vector<uint32_t> m_reversed;                // bit-reversed order
    std::vector<std::complex<double>> m_work;
};

} // namespace bink
