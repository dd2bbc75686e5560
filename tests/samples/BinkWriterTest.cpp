// What our Bink writer makes, FFmpeg decodes to the very pixels and silence it
// was asked for; a damaged frame is one FFmpeg refuses.
#include "samples/BinkBuilder.h"
#include "FfmpegDecode.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

using namespace testsupport;

namespace {


uint32_t Next(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// The frames each case writes: every kind of group the writer makes, in each plane.
std::vector<std::pair<BinkBlocks, bool>> PaintedFrames(uint32_t width, uint32_t height)
{
    uint32_t state = width * 7919u + height;
    const auto paint = [&](int kind) {
        BinkBlocks blocks(width, height, SKIP_BLOCK, SKIP_BLOCK, SKIP_BLOCK);
        for (auto* plane : {&blocks.y, &blocks.u, &blocks.v}) {
            const size_t across = plane == &blocks.y ? blocks.LumaAcross() : blocks.ChromaAcross();
            for (size_t i = 0; i < plane->size(); ++i) {
                const size_t row = i / across;
                const int16_t colour = static_cast<int16_t>(Next(state) & 255);
                switch (kind) {
                case 0: (*plane)[i] = colour; break;                                     // every block its own
                case 1: (*plane)[i] = Next(state) % 2 ? colour : SKIP_BLOCK; break;    // half kept
                case 2:                                                                 // rows: one colour, kept,
                    (*plane)[i] = row % 3 == 0   ? static_cast<int16_t>(row * 40 % 256)   // or one block filled
                                  : row % 3 == 1 ? SKIP_BLOCK
                                                 : (i % across == row % across ? colour : SKIP_BLOCK);
                    break;
                case 3: break;                                                            // every block kept
                case 4: (*plane)[i] = 0xEB; break;                                        // one colour throughout
                }
            }
        }
        return blocks;
    };
    return {{paint(0), true}, {paint(1), false}, {paint(2), false}, {paint(3), false}, {paint(4), true}};
}

} // namespace

TEST(BinkWriter, FfmpegDecodesThePaintedBlocksAndTheSilence)
{
    const struct {
        uint32_t width, height;
        std::vector<BinkAudioTrack> tracks;
    } cases[] = {
        {640, 448, {}},
        {320, 224, {{22050, false, BinkAudioCodec::Rdft}}},
        {320, 224, {{22050, true, BinkAudioCodec::Dct}}},
        {136, 72, {{44100, true, BinkAudioCodec::Rdft}}},
        {21, 13, {{11025, false, BinkAudioCodec::Dct}}},
    };
    ScratchFolder folder;
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) + " with " +
                                 std::to_string(c.tracks.size()) + " track(s)";
        BinkWriter writer(c.width, c.height, 15, c.tracks);
        std::vector<std::vector<uint8_t>> pictures;
        for (const auto& [frame, key] : PaintedFrames(c.width, c.height)) {
            writer.AddFrame(frame, key);
            pictures.push_back(DecodedPicture(frame, pictures.empty() ? std::vector<uint8_t>() : pictures.back()));
        }
        folder.Write("clip.bik", writer.Finish());

        const Decoded video = DecodeVideo(folder, "clip.bik");
        ASSERT_EQ(video.status, 0) << name << ": " << video.err;
        EXPECT_EQ(FirstDifference(video.out, pictures), "") << name;
        if (c.tracks.empty())
            continue;
        const Decoded audio = Ffmpeg(folder, "clip.bik", "-map 0:a -f s16le");
        ASSERT_EQ(audio.status, 0) << name << ": " << audio.err;
        EXPECT_EQ(audio.out.size(), writer.AudioSamples() * (c.tracks[0].stereo ? 4 : 2)) << name;
        EXPECT_GE(writer.AudioSamples() * 15, 5u * c.tracks[0].sampleRate) << name;
        EXPECT_EQ(std::count(audio.out.begin(), audio.out.end(), 0), static_cast<ptrdiff_t>(audio.out.size())) << name;
    }
}

// The builder's clips show their number and the bar in every frame, key frame or not.
TEST(BinkWriter, BuiltClipsShowTheirPictures)
{
    BinkShape shape = LoResShape(45, 7);   // key frames 0 and 30, the bar round once
    shape.audioTracks = 1;
    ScratchFolder folder;
    folder.Write("clip.bik", BuildBinkFile(shape));
    std::vector<std::vector<uint8_t>> pictures;
    for (uint32_t frame = 0; frame < shape.frames; ++frame)
        pictures.push_back(DecodedPicture(ClipPicture(shape, frame), {}));

    const Decoded video = DecodeVideo(folder, "clip.bik");
    ASSERT_EQ(video.status, 0) << video.err;
    EXPECT_EQ(FirstDifference(video.out, pictures), "");
}

TEST(BinkWriter, DamagedFramesFailToDecode)
{
    ScratchFolder folder;
    for (const BinkDamage damage : {BinkDamage::None, BinkDamage::UnknownBlockType, BinkDamage::CutFrame}) {
        BinkShape shape = LoResShape(6);
        shape.audioTracks = 1;
        shape.damage = damage;
        shape.damagedFrame = 3;
        folder.Write("clip.bik", BuildBinkFile(shape));
        const Decoded decoded = Ffmpeg(folder, "clip.bik", "-f null");
        if (damage == BinkDamage::None)
            EXPECT_EQ(decoded.status, 0) << decoded.err;
        else
            EXPECT_NE(decoded.status, 0) << static_cast<int>(damage);
    }
}
