#include "bink/VideoEncoder.h"

#include "bink/BitWriter.h"
#include "bink/BlockTransform.h"
#include "bink/CoefficientCoder.h"
#include "bink/PlaneWriter.h"
#include "bink/VideoTables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace bink {

namespace {

constexpr uint32_t MOST_SIZE = 4096;

// The quantiser tables' scale, table by table: table q's steps are the first's times this.
const double QUANT_SCALE[16] = {1.0, 4 / 3.0, 5 / 3.0, 2.0, 8 / 3.0, 3.5, 4.0, 5.0, 6.0, 8.0, 12.0, 17.0, 22.0, 28.0, 34.0, 44.0};

// Bits a block's values take in the bundles, roughly: the rate side of a choice.
constexpr double TYPE_BITS = 2;
constexpr double COLOUR_BITS = 7;
constexpr double DC_BITS = 5;
constexpr double PATTERN_ROW_BITS = 8;

double MotionBits(int x, int y)
{
    return (x ? 4 : 1) + (y ? 4 : 1);
}

// One plane, padded to whole blocks as the decoder's picture is.
struct Plane {
    uint32_t decoderWidth = 0;   // as the decoder sizes its bundles
    uint32_t across = 0, down = 0, width = 0, height = 0;
    std::vector<uint8_t> source, picture, previous;
    std::vector<int8_t> motionX, motionY;   // the last frame's vectors, per block

    void Size(uint32_t decoderWidth_, uint32_t across_, uint32_t down_)
    {
        decoderWidth = decoderWidth_;
        across = across_;
        down = down_;
        width = across * 8;
        height = down * 8;
        const size_t size = size_t(width) * height;
        source.assign(size, 0);
        picture.assign(size, 0);
        previous.assign(size, 0);
        motionX.assign(size_t(across) * down, 0);
        motionY.assign(size_t(across) * down, 0);
    }
    // The picture's plane of w x h pixels, its edges repeated to fill the blocks.
    void Take(const uint8_t* data, ptrdiff_t stride, uint32_t w, uint32_t h)
    {
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* row = data + ptrdiff_t(std::min(y, h - 1)) * stride;
            uint8_t* out = &source[size_t(y) * width];
            std::memcpy(out, row, w);
            std::memset(out + w, row[w - 1], width - w);
        }
    }
};

uint32_t Sse(const uint8_t* a, ptrdiff_t aStride, const uint8_t* b, ptrdiff_t bStride)
{
    uint32_t sum = 0;
    for (int y = 0; y < 8; ++y, a += aStride, b += bStride)
        for (int x = 0; x < 8; ++x) {
            const int d = a[x] - b[x];
            sum += static_cast<uint32_t>(d * d);
        }
    return sum;
}

uint32_t Sad(const uint8_t* a, ptrdiff_t aStride, const uint8_t* b, ptrdiff_t bStride)
{
    uint32_t sum = 0;
    for (int y = 0; y < 8; ++y, a += aStride, b += bStride)
        for (int x = 0; x < 8; ++x)
            sum += static_cast<uint32_t>(std::abs(a[x] - b[x]));
    return sum;
}

// The levels of a block's coefficients at quantiser table quant, DC first in
// scan order. bias < 0.5 leaves small coefficients out, where they cost more
// than they give.
void Quantise(const float coefficients[64], const int32_t quant[64], float bias, int32_t levels[64])
{
    for (int k = 0; k < 64; ++k) {
        const float c = coefficients[SCAN[k]] * 2048.0f / static_cast<float>(quant[k]);
        const float magnitude = std::fabs(c) + (k == 0 ? 0.5f : bias);
        const int32_t level = static_cast<int32_t>(std::min(magnitude, float(MOST_LEVEL)));
        levels[k] = c < 0 ? -level : level;
    }
}

// About the most bits that lowering one level saves: its own, and those of the
// groups that it alone kept open. A change that costs more error than this is
// worth is not counted.
constexpr double MOST_BITS_SAVED = 24;

// Lowers levels, from the last in scan order, where the bits saved are worth
// more than the error they add. Returns whether any changed.
bool TrimLevels(const float coefficients[64], const int32_t quant[64], double lambda, int32_t levels[64])
{
    bool changed = false;
    CoefficientBitCount count(levels);
    unsigned bits = count.Bits();
    for (int k = 63; k >= 1; --k) {
        const int32_t level = levels[k];
        if (level == 0)
            continue;
        const int p = SCAN[k];
        const auto error = [&](int32_t l) {
            const double d = coefficients[p] - double((int64_t(l) * quant[k]) >> 11);
            return d * d * PixelEnergy(p);
        };
        const double now = error(level);
        // Zero for a small level, then one step nearer it (for 1, zero again: not tried).
        const int32_t nearer = level > 0 ? level - 1 : level + 1;
        for (int attempt = 0; attempt < 2; ++attempt) {
            const int32_t lower = attempt == 0 ? 0 : nearer;
            if ((attempt == 0 && std::abs(level) > 2) || (attempt == 1 && nearer == 0))
                continue;
            const double added = error(lower) - now;
            if (added > lambda * MOST_BITS_SAVED)
                continue;   // worth more than any change of one level can save
            count.Set(k, lower);
            const unsigned lowerBits = count.Bits();
            if (added + lambda * (double(lowerBits) - bits) < 0) {
                levels[k] = lower;
                bits = lowerBits;
                changed = true;
                break;
            }
            count.Set(k, level);
        }
    }
    return changed;
}

// The pixels the decoder makes of a DCT block: the levels' picture alone
// (intra, without base), or added to the moved block base.
void Rebuild(const int32_t levels[64], const int32_t quant[64], const uint8_t* base, uint8_t pixels[64])
{
    int32_t dequantised[64];
    Dequantise(levels, quant, dequantised);
    if (!base) {
        InverseTransformPut(dequantised, pixels, 8);
        return;
    }
    std::memcpy(pixels, base, 64);
    InverseTransformAdd(dequantised, pixels, 8);
}

// A way to code one block, and what it costs.
struct Choice {
    BlockType type = FILL_BLOCK;
    double cost = INFINITY;
    int x = 0, y = 0;
    uint8_t colour = 0, second = 0;   // fill and pattern
    uint8_t pattern[8];
    unsigned quantIndex = 0;
    int32_t levels[64];
    uint8_t pixels[64];   // what the decoder shows
};

} // namespace

struct VideoEncoder::State {
    VideoSettings settings;
    Plane planes[3];                  // Y, U, V
    uint64_t frames = 0;
    uint64_t sinceKey = 0;
    uint64_t keyInterval = 1;
    double bytesPerFrame = 0;         // by the rate
    double debt = 0;                  // bytes spent past the rate so far
    double logScale = std::log(4.0);  // the quantiser's scale, as its log
    unsigned frameQuant = 0;          // for the frame being coded, from the scale
    double frameLambda = 0;

    unsigned QuantIndex() const
    {
        const double scale = std::exp(logScale);
        unsigned best = 0;
        for (unsigned q = 1; q < 16; ++q)
            if (std::fabs(std::log(QUANT_SCALE[q] / scale)) < std::fabs(std::log(QUANT_SCALE[best] / scale)))
                best = q;
        return best;
    }
    // Distortion (squared error) against bits: what a bit is worth.
    double Lambda() const
    {
        const double scale = std::exp(logScale);
        return 0.5 * scale * scale;
    }

    void CodePlane(Plane& plane, bool key, BitWriter& out, unsigned& ownBlocks);
    void CodeBlock(Plane& plane, uint32_t bx, uint32_t by, bool key, PlaneWriter& writer, unsigned& ownBlocks);
    void SearchMotion(const Plane& plane, uint32_t bx, uint32_t by, const uint8_t* source, int& bestX, int& bestY);
    VideoFrame CodeFrame(bool key, unsigned& ownBlocks);
};

VideoEncoder::VideoEncoder(const VideoSettings& settings) : m_state(std::make_unique<State>())
{
    if (settings.width == 0 || settings.height == 0 || settings.width > MOST_SIZE || settings.height > MOST_SIZE)
        throw std::invalid_argument("a picture of " + std::to_string(settings.width) + "x" +
                                    std::to_string(settings.height) + " is not 1x1 to 4096x4096");
    if (settings.rateNumerator == 0 || settings.rateDenominator == 0)
        throw std::invalid_argument("a frame rate of 0");
    if (settings.quality == 0 && !(settings.kilobytesPerSecond > 0))
        throw std::invalid_argument("neither a rate nor a quality");
    State& s = *m_state;
    s.settings = settings;
    const uint32_t w = settings.width, h = settings.height;
    s.planes[0].Size(w, (w + 7) / 8, (h + 7) / 8);
    s.planes[1].Size(w / 2, (w + 15) / 16, (h + 15) / 16);
    s.planes[2].Size(w / 2, (w + 15) / 16, (h + 15) / 16);
    const double fps = double(settings.rateNumerator) / settings.rateDenominator;
    s.keyInterval = std::max<uint64_t>(1, static_cast<uint64_t>(settings.keyIntervalSeconds * fps));
    s.bytesPerFrame = settings.kilobytesPerSecond * 1024 / fps;
    if (settings.quality)
        s.logScale = std::log(44.0) * (100.0 - std::min(settings.quality, 100u)) / 99.0;
}

VideoEncoder::~VideoEncoder() = default;

const VideoSettings& VideoEncoder::Settings() const
{
    return m_state->settings;
}

PictureView VideoEncoder::Reconstruction() const
{
    PictureView view{};
    for (int p = 0; p < 3; ++p) {
        view.planes[p] = m_state->planes[p].previous.data();   // the last frame, now the reference
        view.strides[p] = m_state->planes[p].width;
    }
    return view;
}

void VideoEncoder::State::SearchMotion(const Plane& plane, uint32_t bx, uint32_t by, const uint8_t* source,
                                       int& bestX, int& bestY)
{
    const int px = int(bx * 8), py = int(by * 8);
    const int lowX = std::max(-MOST_MOTION, -px), highX = std::min(MOST_MOTION, int(plane.width) - 8 - px);
    const int lowY = std::max(-MOST_MOTION, -py), highY = std::min(MOST_MOTION, int(plane.height) - 8 - py);
    const ptrdiff_t stride = plane.width;
    const double lambda = std::sqrt(frameLambda);
    uint32_t bestCost = UINT32_MAX;
    const auto tryAt = [&](int x, int y) {
        if (x < lowX || x > highX || y < lowY || y > highY)
            return false;
        const uint8_t* ref = &plane.previous[size_t(py + y) * stride + px + x];
        const uint32_t cost = Sad(source, stride, ref, stride) + static_cast<uint32_t>(lambda * MotionBits(x, y));
        if (cost >= bestCost)
            return false;
        bestCost = cost, bestX = x, bestY = y;
        return true;
    };
    bestX = bestY = 0;
    tryAt(0, 0);
    const size_t block = size_t(by) * plane.across + bx;
    tryAt(plane.motionX[block], plane.motionY[block]);
    if (bx > 0)
        tryAt(plane.motionX[block - 1], plane.motionY[block - 1]);
    if (by > 0)
        tryAt(plane.motionX[block - plane.across], plane.motionY[block - plane.across]);
    // A small diamond from the best so far, while it finds better.
    for (int step = 0; step < 16; ++step) {
        const int x = bestX, y = bestY;
        bool moved = false;
        moved |= tryAt(x + 1, y);
        moved |= tryAt(x - 1, y);
        moved |= tryAt(x, y + 1);
        moved |= tryAt(x, y - 1);
        if (!moved)
            break;
    }
    const int x = bestX, y = bestY;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx && dy)
                tryAt(x + dx, y + dy);
}

void VideoEncoder::State::CodeBlock(Plane& plane, uint32_t bx, uint32_t by, bool key, PlaneWriter& writer,
                                    unsigned& ownBlocks)
{
    const ptrdiff_t stride = plane.width;
    const size_t at = size_t(by) * 8 * stride + bx * 8;
    const uint8_t* source = &plane.source[at];
    uint8_t* picture = &plane.picture[at];
    const double lambda = frameLambda;
    const unsigned q = frameQuant;

    Choice best, trial;
    const auto consider = [&](Choice& c, double bits) {
        c.cost = Sse(source, stride, c.pixels, 8) + lambda * bits;
        if (c.cost < best.cost)
            std::swap(best, c);
    };
    const auto copyFrom = [&](const uint8_t* from, uint8_t* to) {
        for (int y = 0; y < 8; ++y)
            std::memcpy(to + 8 * y, from + y * stride, 8);
    };

    float samples[64], coefficients[64], intraCoefficients[64];
    uint8_t moved[64];
    // Fill: the block's mean.
    uint32_t sum = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            sum += source[y * stride + x];
    trial.type = FILL_BLOCK;
    trial.colour = static_cast<uint8_t>((sum + 32) / 64);
    std::memset(trial.pixels, trial.colour, 64);
    consider(trial, TYPE_BITS + COLOUR_BITS);

    // Pattern: the block split at the midpoint between the means of its dark
    // and light pixels, each part in its mean.
    uint32_t low = 0, high = 255;
    for (int pass = 0; pass < 2; ++pass) {
        const uint32_t threshold = pass == 0 ? (sum + 32) / 64 : (low + high + 1) / 2;
        uint32_t sums[2] = {}, counts[2] = {};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const uint8_t v = source[y * stride + x];
                sums[v >= threshold] += v;
                ++counts[v >= threshold];
            }
        if (counts[0] == 0 || counts[1] == 0)
            break;
        low = (sums[0] + counts[0] / 2) / counts[0];
        high = (sums[1] + counts[1] / 2) / counts[1];
        if (pass == 1) {
            trial.type = PATTERN_BLOCK;
            trial.colour = static_cast<uint8_t>(low), trial.second = static_cast<uint8_t>(high);
            for (int y = 0; y < 8; ++y) {
                uint8_t bits = 0;
                for (int x = 0; x < 8; ++x) {
                    const bool light = source[y * stride + x] >= threshold;
                    bits |= static_cast<uint8_t>(light << x);
                    trial.pixels[8 * y + x] = light ? trial.second : trial.colour;
                }
                trial.pattern[y] = bits;
            }
            consider(trial, TYPE_BITS + 2 * COLOUR_BITS + 8 * PATTERN_ROW_BITS);
        }
    }

    // Intra DCT.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            samples[y * 8 + x] = source[y * stride + x];
    ForwardTransform(samples, coefficients);
    std::memcpy(intraCoefficients, coefficients, sizeof coefficients);
    const auto codeDct = [&](unsigned qi, float bias, bool intra, const uint8_t* base) {
        const int32_t* quant = intra ? INTRA_QUANT[qi] : INTER_QUANT[qi];
        trial.quantIndex = qi;
        Quantise(coefficients, quant, bias, trial.levels);
        trial.levels[0] = intra ? std::clamp(trial.levels[0], 0, MOST_INTRA_DC)
                                : std::clamp(trial.levels[0], -MOST_INTER_DC, MOST_INTER_DC);
        Rebuild(trial.levels, quant, base, trial.pixels);
        return CoefficientBits(trial.levels) + DC_BITS;
    };
    trial.type = INTRA_BLOCK;
    consider(trial, TYPE_BITS + codeDct(q, 0.35f, true, nullptr));

    if (!key) {
        const uint8_t* previous = &plane.previous[at];
        trial.type = SKIP_BLOCK;
        copyFrom(previous, trial.pixels);
        consider(trial, 1);

        int mx, my;
        SearchMotion(plane, bx, by, source, mx, my);
        copyFrom(previous + ptrdiff_t(my) * stride + mx, moved);
        if (mx || my) {
            trial.type = MOTION_BLOCK;
            trial.x = mx, trial.y = my;
            std::memcpy(trial.pixels, moved, 64);
            consider(trial, TYPE_BITS + MotionBits(mx, my));
        }
        // The residue after the move.
        for (int i = 0; i < 64; ++i)
            samples[i] = float(source[(i / 8) * stride + i % 8]) - float(moved[i]);
        ForwardTransform(samples, coefficients);
        trial.type = INTER_BLOCK;
        trial.x = mx, trial.y = my;
        consider(trial, TYPE_BITS + MotionBits(mx, my) + codeDct(q, 0.25f, false, moved));
    }

    if (best.type == INTRA_BLOCK || best.type == INTER_BLOCK) {
        // The levels chosen, trimmed where their bits cost more than they give.
        const bool intra = best.type == INTRA_BLOCK;
        const int32_t* quant = intra ? INTRA_QUANT[best.quantIndex] : INTER_QUANT[best.quantIndex];
        if (TrimLevels(intra ? intraCoefficients : coefficients, quant, lambda, best.levels))
            Rebuild(best.levels, quant, intra ? nullptr : moved, best.pixels);
    }

    switch (best.type) {
    case SKIP_BLOCK:
        writer.Skip();
        break;
    case FILL_BLOCK:
        writer.Fill(best.colour);
        ++ownBlocks;
        break;
    case PATTERN_BLOCK:
        writer.Pattern(best.colour, best.second, best.pattern);
        ++ownBlocks;
        break;
    case MOTION_BLOCK:
        writer.Motion(best.x, best.y);
        break;
    case INTRA_BLOCK:
        writer.Intra(best.levels, best.quantIndex);
        ++ownBlocks;
        break;
    default:
        writer.Inter(best.x, best.y, best.levels, best.quantIndex);
        break;
    }
    const bool moves = best.type == MOTION_BLOCK || best.type == INTER_BLOCK;
    const size_t block = size_t(by) * plane.across + bx;
    plane.motionX[block] = static_cast<int8_t>(moves ? best.x : 0);
    plane.motionY[block] = static_cast<int8_t>(moves ? best.y : 0);
    for (int y = 0; y < 8; ++y)
        std::memcpy(picture + y * stride, best.pixels + 8 * y, 8);
}

void VideoEncoder::State::CodePlane(Plane& plane, bool key, BitWriter& out, unsigned& ownBlocks)
{
    PlaneWriter writer(plane.decoderWidth, plane.across, plane.down);
    for (uint32_t by = 0; by < plane.down; ++by)
        for (uint32_t bx = 0; bx < plane.across; ++bx)
            CodeBlock(plane, bx, by, key, writer, ownBlocks);
    writer.Write(out);
}

VideoFrame VideoEncoder::State::CodeFrame(bool key, unsigned& ownBlocks)
{
    frameQuant = QuantIndex();
    frameLambda = Lambda();
    BitWriter out;
    out.Put(0, 32);
    // The chroma planes go V before U.
    for (int p : {0, 2, 1})
        CodePlane(planes[p], key, out, ownBlocks);
    return {out.Take(), key};
}

VideoFrame VideoEncoder::Encode(const PictureView& picture, size_t otherBytes)
{
    State& s = *m_state;
    const uint32_t w = s.settings.width, h = s.settings.height;
    s.planes[0].Take(picture.planes[0], picture.strides[0], w, h);
    s.planes[1].Take(picture.planes[1], picture.strides[1], (w + 1) / 2, (h + 1) / 2);
    s.planes[2].Take(picture.planes[2], picture.strides[2], (w + 1) / 2, (h + 1) / 2);

    bool key = s.frames == 0 || s.sinceKey >= s.keyInterval;
    unsigned ownBlocks = 0;
    VideoFrame frame = s.CodeFrame(key, ownBlocks);
    const size_t blocks = s.planes[0].motionX.size() + 2 * s.planes[1].motionX.size();
    if (!key && ownBlocks * 5 > blocks * 3) {
        // Most blocks owe nothing to the frame before: a new scene, coded as a
        // key frame, where a player can start.
        key = true;
        frame = s.CodeFrame(true, ownBlocks);
    }
    for (Plane& plane : s.planes)
        std::swap(plane.picture, plane.previous);
    ++s.frames;
    s.sinceKey = key ? 1 : s.sinceKey + 1;

    if (!s.settings.quality) {
        // Steer the scale so that the bytes keep to the rate, paying back a
        // tenth of what is owed each frame.
        const double spent = double(frame.bytes.size() + otherBytes);
        s.debt += spent - s.bytesPerFrame;
        const double goal = std::max(s.bytesPerFrame * 0.3, s.bytesPerFrame - s.debt / 10);
        if (!key)
            s.logScale += 0.6 * std::log(spent / goal);
        s.logScale = std::clamp(s.logScale, 0.0, std::log(44.0));
    }
    return frame;
}

} // namespace bink
