#include "bink/AudioTransform.h"

#include <cmath>
#include <stdexcept>

namespace bink {

AudioTransform::AudioTransform(uint32_t length, AudioCodec codec) : m_length(length), m_codec(codec)
{
    if (length < 16 || (length & (length - 1)))
        throw std::invalid_argument("an audio transform's length is a power of two");
    const double pi = std::acos(-1.0);
    for (uint32_t k = 0; k < length / 2; ++k)
        m_twiddles.push_back(std::polar(1.0, -2 * pi * k / length));
    for (uint32_t k = 0; k < length; ++k)
        m_dctShift.push_back(std::polar(1.0, -pi * k / (2.0 * length)));
    unsigned bits = 0;
    while ((1u << bits) < length)
        ++bits;
    for (uint32_t i = 0; i < length; ++i) {
        uint32_t r = 0;
        for (unsigned b = 0; b < bits; ++b)
            r |= ((i >> b) & 1u) << (bits - 1 - b);
        m_reversed.push_back(r);
    }
    m_work.resize(length);
}

// An in-place radix-2 DFT, e^(-2 pi i k n / N), unscaled.
void AudioTransform::Fft(std::vector<std::complex<double>>& data) const
{
    const uint32_t n = m_length;
    for (uint32_t i = 0; i < n; ++i) {
        if (i < m_reversed[i])
            std::swap(data[i], data[m_reversed[i]]);
    }
    for (uint32_t size = 2; size <= n; size *= 2) {
        const uint32_t half = size / 2, step = n / size;
        for (uint32_t start = 0; start < n; start += size) {
            for (uint32_t k = 0; k < half; ++k) {
                const std::complex<double> odd = data[start + half + k] * m_twiddles[k * step];
                data[start + half + k] = data[start + k] - odd;
                data[start + k] += odd;
            }
        }
    }
}

void AudioTransform::Forward(const float* samples, float* coefficients)
{
    const uint32_t n = m_length;
    const double scale = 1.0 / std::sqrt(double(n));
    if (m_codec == AudioCodec::Rdft) {
        for (uint32_t i = 0; i < n; ++i)
            m_work[i] = samples[i];
        Fft(m_work);
        coefficients[0] = static_cast<float>(m_work[0].real() * scale);
        coefficients[1] = static_cast<float>(m_work[n / 2].real() * scale);
        for (uint32_t k = 1; k < n / 2; ++k) {
            coefficients[2 * k] = static_cast<float>(m_work[k].real() * scale);
            coefficients[2 * k + 1] = static_cast<float>(-m_work[k].imag() * scale);
        }
        return;
    }
    // DCT-II through an N-point DFT of the even samples followed by the odd ones reversed.
    for (uint32_t i = 0; i < n / 2; ++i) {
        m_work[i] = samples[2 * i];
        m_work[n - 1 - i] = samples[2 * i + 1];
    }
    Fft(m_work);
    for (uint32_t k = 0; k < n; ++k)
        coefficients[k] = static_cast<float>((m_work[k] * m_dctShift[k]).real() * scale);
    coefficients[0] *= 0.5f;
}

} // namespace bink
