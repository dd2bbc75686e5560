// FFmpeg decodes the encoder's files to the very pictures the encoder kept as
// its reconstruction: inter frames never drift from what a player shows.
#include "bink/BinkFile.h"
#include "bink/VideoEncoder.h"
#include "FfmpegDecode.h"
#include "FileContents.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A test scene of w x h at frame n: a shaded background, a textured square
// that moves a few pixels a frame and fine noise; from frame cut on, another
// scene altogether.
struct Scene {
    uint32_t w, h, cut;
    std::vector<uint8_t> y, u, v;
    void Draw(uint32_t n)
    {
        const uint32_t cw = (w + 1) / 2, ch = (h + 1) / 2;
        y.resize(size_t(w) * h);
        u.resize(size_t(cw) * ch);
        v.resize(u.size());
        const bool later = n >= cut;
        uint32_t noise = 12345 + n;
        for (uint32_t r = 0; r < h; ++r)
            for (uint32_t c = 0; c < w; ++c) {
                noise = noise * 1103515245u + 12345u;
                int value = later ? int(200 - (r * 150) / h) : int(40 + (c * 160) / w);
                const uint32_t sx = c - std::min(c, 3 * n + w / 8), sy = r - std::min(r, 2 * n + h / 8);
                if (c >= 3 * n + w / 8 && r >= 2 * n + h / 8 && sx < w / 3 && sy < h / 3)
                    value = ((sx / 4 + sy / 4) % 2) ? 220 : 30;
                value += int(noise >> 29) - 4;
                y[size_t(r) * w + c] = static_cast<uint8_t>(std::clamp(value, 16, 235));
            }
        for (uint32_t r = 0; r < ch; ++r)
            for (uint32_t c = 0; c < cw; ++c) {
                u[size_t(r) * cw + c] = static_cast<uint8_t>(later ? 90 : 128 + int(c % 64) - 32);
                v[size_t(r) * cw + c] = static_cast<uint8_t>(later ? 170 : 128 + int(r % 32) - 16);
            }
    }
    bink::PictureView View() const
    {
        const ptrdiff_t cw = (w + 1) / 2;
        return {{y.data(), u.data(), v.data()}, {ptrdiff_t(w), cw, cw}};
    }
};

// The reconstruction cut to the picture's size, planes one after another.
std::vector<uint8_t> Shown(const bink::PictureView& view, uint32_t w, uint32_t h)
{
    std::vector<uint8_t> out;
    for (int p = 0; p < 3; ++p) {
        const uint32_t pw = p ? (w + 1) / 2 : w, ph = p ? (h + 1) / 2 : h;
        for (uint32_t r = 0; r < ph; ++r)
            out.insert(out.end(), view.planes[p] + r * view.strides[p], view.planes[p] + r * view.strides[p] + pw);
    }
    return out;
}

double LumaPsnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t pixels)
{
    double sum = 0;
    for (size_t i = 0; i < pixels; ++i)
        sum += double(a[i] - b[i]) * (a[i] - b[i]);
    return sum == 0 ? 99 : 10 * std::log10(255.0 * 255 * pixels / sum);
}

} // namespace

TEST(VideoEncoder, FfmpegShowsWhatTheEncoderKeptFrameForFrame)
{
    struct Case {
        uint32_t w, h;
        unsigned quality;
        double rate;
        double minPsnr;
    };
    const Case cases[] = {
        {640, 448, 0, 300, 28},   // by the rate
        {98, 54, 90, 0, 34},      // sizes that are no whole number of blocks
        {160, 120, 20, 0, 20},    // coarse
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        ScratchFolder folder;
        bink::VideoSettings settings;
        settings.width = c.w, settings.height = c.h;
        settings.quality = c.quality, settings.kilobytesPerSecond = c.rate;
        bink::VideoEncoder encoder(settings);
        bink::BinkFileLayout layout({c.w, c.h, 15, 1}, {});
        const uint32_t frames = 14, cut = 9;
        Scene scene{c.w, c.h, cut, {}, {}, {}};
        std::vector<std::vector<uint8_t>> kept;
        std::vector<uint8_t> body;
        std::vector<bool> keys;
        double worst = 99;
        for (uint32_t n = 0; n < frames; ++n) {
            scene.Draw(n);
            const bink::VideoFrame frame = encoder.Encode(scene.View());
            keys.push_back(frame.key);
            const std::vector<uint8_t> bytes = layout.Frame(frame.bytes, {}, frame.key);
            body.insert(body.end(), bytes.begin(), bytes.end());
            kept.push_back(Shown(encoder.Reconstruction(), c.w, c.h));
            std::vector<uint8_t> source = scene.y;
            worst = std::min(worst, LumaPsnr(kept.back(), source, source.size()));
        }
        std::vector<uint8_t> file = layout.Head();
        file.insert(file.end(), body.begin(), body.end());
        testsupport::WriteBytesToFile(file, folder / "clip.bik");

        const Decoded decoded = DecodeVideo(folder, "clip.bik");
        ASSERT_EQ(decoded.status, 0) << decoded.err;
        EXPECT_EQ(FirstDifference(decoded.out, kept), "");
        EXPECT_GE(worst, c.minPsnr);
        EXPECT_TRUE(keys[0]);
        EXPECT_TRUE(keys[cut]) << "a scene cut starts a key frame";
        EXPECT_FALSE(keys[cut - 1]);
    }
}
