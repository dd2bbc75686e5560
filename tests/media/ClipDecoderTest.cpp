// The decoder on clips the sample builder writes, damaged or not: what a
// conversion is given with concealment, and that no header makes it give
// more sound than the pictures last.
#include "file/MemFile.h"
#include "media/ClipDecoder.h"
#include "samples/BinkBuilder.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

constexpr uint32_t FRAMES = 10;

struct Decoded {
    uint32_t pictures = 0;
    int64_t samples = 0;                      // of the first track's sound
    std::vector<std::vector<uint8_t>> luma;   // each picture's
    uint32_t concealed = 0;
    uint32_t firstConcealed = 0;
};

Decoded Decode(const BinkShape& shape)
{
    const std::vector<uint8_t> bink = BuildBinkFile(shape);
    CMemFile archive(bink.data(), static_cast<uint32_t>(bink.size()));
    ClipInput input(archive, {0, static_cast<uint32_t>(bink.size())}, "clip 1 (high-res.)");
    DecodingRules rules;
    rules.conceal = true;
    ClipDecoder decoder(input, rules);
    Decoded decoded;
    decoder.onAudio = [&decoded](AVFrame& sound) { decoded.samples += sound.nb_samples; };
    while (const AVFrame* picture = decoder.NextVideoFrame()) {
        ++decoded.pictures;
        std::vector<uint8_t> luma;
        for (int y = 0; y < picture->height; ++y)
            luma.insert(luma.end(), picture->data[0] + y * picture->linesize[0],
                        picture->data[0] + y * picture->linesize[0] + picture->width);
        decoded.luma.push_back(luma);
    }
    decoded.concealed = decoder.FramesConcealed();
    decoded.firstConcealed = decoder.FirstConcealed();
    return decoded;
}

// Every frame is given, a lost picture as the one before it (black for the
// first), lost sound as silence; the sound is cut to the pictures' length,
// before anything resamples it, however much a frame holds.
TEST(ClipDecoder, ConcealsWhatDoesNotDecodeAndCutsTheSoundToThePictures)
{
    const auto shape = [](BinkDamage damage, uint32_t at, uint32_t blocksPerFrame = 0) {
        BinkShape made = LoResShape(FRAMES);
        made.audioTracks = 1;
        made.audio.blocksPerFrame = blocksPerFrame;
        made.damage = damage;
        made.damagedFrame = at;
        return made;
    };
    const int64_t pictureSamples = FRAMES * 22050 / 15;
    const struct {
        BinkShape shape;
        uint32_t firstConcealed;   // 0: none
    } cases[] = {
        {shape(BinkDamage::None, 0), 0},
        {shape(BinkDamage::None, 0, 20), 0},   // twenty blocks a frame: 13 seconds of sound
        {shape(BinkDamage::BadSound, 3), 4},
        {shape(BinkDamage::UnknownBlockType, 0), 1},
        {shape(BinkDamage::UnknownBlockType, 4), 5},
        {shape(BinkDamage::CutFrame, 9), 10},
        {shape(BinkDamage::ShortLastFrame, 0), 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("first concealed " + std::to_string(c.firstConcealed));
        const Decoded decoded = Decode(c.shape);
        EXPECT_EQ(decoded.pictures, FRAMES);
        // The reading stops at a frame too short to read, with its sound.
        if (c.shape.damage == BinkDamage::ShortLastFrame)
            EXPECT_LT(decoded.samples, pictureSamples);
        else
            EXPECT_EQ(decoded.samples, pictureSamples);
        EXPECT_EQ(decoded.concealed, c.firstConcealed ? 1u : 0u);
        EXPECT_EQ(decoded.firstConcealed, c.firstConcealed);
        if (c.shape.damage == BinkDamage::BadSound || c.firstConcealed == 0)
            continue;
        const size_t lost = c.firstConcealed - 1;
        if (lost == 0)
            EXPECT_EQ(decoded.luma[0], std::vector<uint8_t>(decoded.luma[0].size(), 16));
        else
            EXPECT_EQ(decoded.luma[lost], decoded.luma[lost - 1]);
    }
}

} // namespace
