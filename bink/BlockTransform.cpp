#include "bink/BlockTransform.h"

#include "bink/VideoTables.h"

#include <cmath>

namespace bink {

namespace {

// The transform's constants in 1/2048ths: 1/sqrt(2) and three rotations.
constexpr int A1 = 2896;
constexpr int A2 = 2217;
constexpr int A3 = 3784;
constexpr int A4 = -5352;

// The decoder multiplies in unsigned 32-bit arithmetic and shifts the signed result.
inline int Mul(int a, int x)
{
    return static_cast<int>(static_cast<unsigned>(x) * static_cast<unsigned>(a)) >> 11;
}

// One 8-point pass over s[0], s[step], ...; Out(i, value) takes the results.
template <typename In, typename Out>
inline void Pass(const In* s, int step, Out out)
{
    const int a0 = s[0] + s[4 * step];
    const int a1 = s[0] - s[4 * step];
    const int a2 = s[2 * step] + s[6 * step];
    const int a3 = Mul(A1, s[2 * step] - s[6 * step]);
    const int a4 = s[5 * step] + s[3 * step];
    const int a5 = s[5 * step] - s[3 * step];
    const int a6 = s[1 * step] + s[7 * step];
    const int a7 = s[1 * step] - s[7 * step];
    const int b0 = a4 + a6;
    const int b1 = Mul(A3, a5 + a7);
    const int b2 = Mul(A4, a5) - b0 + b1;
    const int b3 = Mul(A1, a6 - a4) - b2;
    const int b4 = Mul(A2, a7) + b3 - b1;
    out(0, a0 + a2 + b0);
    out(1, a1 + a3 - a2 + b2);
    out(2, a1 - a3 + a2 + b3);
    out(3, a0 - a2 - b4);
    out(4, a0 - a2 + b4);
    out(5, a1 - a3 + a2 - b3);
    out(6, a1 + a3 - a2 - b2);
    out(7, a0 + a2 - b0);
}

// The columns, then the rows rounded to whole pixels: what goes into the picture.
template <typename Store>
void Inverse(const int32_t c[64], Store store)
{
    int temp[64];
    for (int i = 0; i < 8; ++i)
        Pass(c + i, 8, [&](int k, int v) { temp[i + 8 * k] = v; });
    for (int row = 0; row < 8; ++row)
        Pass(temp + 8 * row, 1, [&](int k, int v) { store(row, k, (v + 0x7F) >> 8); });
}

// The same passes in real numbers: the pictures that each coefficient makes.
void PassReal(const double* s, int step, double* d, int dstep)
{
    const double m = 1.0 / 2048;
    const double a0 = s[0] + s[4 * step], a1 = s[0] - s[4 * step], a2 = s[2 * step] + s[6 * step];
    const double a3 = A1 * m * (s[2 * step] - s[6 * step]);
    const double a4 = s[5 * step] + s[3 * step], a5 = s[5 * step] - s[3 * step];
    const double a6 = s[step] + s[7 * step], a7 = s[step] - s[7 * step];
    const double b0 = a4 + a6, b1 = A3 * m * (a5 + a7), b2 = A4 * m * a5 - b0 + b1;
    const double b3 = A1 * m * (a6 - a4) - b2, b4 = A2 * m * a7 + b3 - b1;
    const double r[8] = {a0 + a2 + b0, a1 + a3 - a2 + b2, a1 - a3 + a2 + b3, a0 - a2 - b4,
                         a0 - a2 + b4, a1 - a3 + a2 - b3, a1 + a3 - a2 - b2, a0 + a2 - b0};
    for (int k = 0; k < 8; ++k)
        d[k * dstep] = r[k];
}

// analysis[u][y]: the weights that take 8 samples to frequency u, so that the
// passes above give the samples back (their bases are orthogonal).
struct Analysis {
    float columns[8][8];
    float rows[8][8];
    float energy[64];
    Analysis()
    {
        double energies[8];
        for (int u = 0; u < 8; ++u) {
            double impulse[8] = {}, basis[8];
            impulse[u] = 1;
            PassReal(impulse, 1, basis, 1);
            double energy = 0;
            for (double b : basis)
                energy += b * b;
            energies[u] = energy;
            for (int y = 0; y < 8; ++y) {
                columns[u][y] = static_cast<float>(basis[y] / energy);
                // The row pass ends in a division by 256.
                rows[u][y] = static_cast<float>(basis[y] / 256 / (energy / 65536));
            }
        }
        for (int p = 0; p < 64; ++p)
            energy[p] = static_cast<float>(energies[p / 8] * energies[p % 8] / 65536);
    }
};

const Analysis& TheAnalysis()
{
    static const Analysis analysis;
    return analysis;
}

} // namespace

void Dequantise(const int32_t levels[64], const int32_t quant[64], int32_t coefficients[64])
{
    for (int k = 0; k < 64; ++k)
        coefficients[SCAN[k]] =
            static_cast<int32_t>(static_cast<uint32_t>(levels[k]) * static_cast<uint32_t>(quant[k])) >> 11;
}

void InverseTransformPut(const int32_t coefficients[64], uint8_t* pixels, ptrdiff_t stride)
{
    Inverse(coefficients, [&](int row, int column, int v) { pixels[row * stride + column] = static_cast<uint8_t>(v); });
}

void InverseTransformAdd(const int32_t coefficients[64], uint8_t* pixels, ptrdiff_t stride)
{
    Inverse(coefficients, [&](int row, int column, int v) {
        uint8_t& pixel = pixels[row * stride + column];
        pixel = static_cast<uint8_t>(pixel + v);
    });
}

float PixelEnergy(int position)
{
    return TheAnalysis().energy[position];
}

void ForwardTransform(const float samples[64], float coefficients[64])
{
    const Analysis& a = TheAnalysis();
    float temp[64];   // temp[u][x]: columns taken to frequencies
    for (int u = 0; u < 8; ++u) {
        for (int x = 0; x < 8; ++x) {
            float sum = 0;
            for (int y = 0; y < 8; ++y)
                sum += a.columns[u][y] * samples[y * 8 + x];
            temp[u * 8 + x] = sum;
        }
    }
    for (int u = 0; u < 8; ++u) {
        for (int v = 0; v < 8; ++v) {
            float sum = 0;
            for (int x = 0; x < 8; ++x)
                sum += a.rows[v][x] * temp[u * 8 + x];
            coefficients[u * 8 + v] = sum;
        }
    }
}

} // namespace bink
