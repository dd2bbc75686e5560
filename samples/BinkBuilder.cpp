#include "catalogue/ClipTable.h"
#include "samples/BinkBuilder.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace testsupport {

namespace {

// Digits of 3 x 5 cells.
const char* const GLYPHS[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", "###", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", "..#", "..#", "..#"}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
};

constexpr int16_t BACKGROUND_Y = 0x30;
constexpr int16_t DIGIT_Y = 0xE0;
constexpr int16_t BAR_Y = 0x98;
// A tint of its own for each of seven clips in a row, so that neighbours differ at a glance.
const int16_t TINTS[7][2] = {{0x90, 0x70}, {0x70, 0x90}, {0xA0, 0xA0}, {0x60, 0x80},
                             {0x80, 0x60}, {0x80, 0xA0}, {0xA0, 0x80}};

// Frame of shape as the writer takes it: the whole picture for a key frame, the
// blocks that changed since the frame before for any other.
BinkBlocks FrameBlocks(const BinkShape& shape, uint32_t frame, bool key)
{
    BinkBlocks blocks = ClipPicture(shape, frame);
    if (key || frame == 0)
        return blocks;
    const BinkBlocks before = ClipPicture(shape, frame - 1);
    const auto keep = [](std::vector<int16_t>& now, const std::vector<int16_t>& was) {
        for (size_t i = 0; i < now.size(); ++i) {
            if (now[i] == was[i])
                now[i] = SKIP_BLOCK;
        }
    };
    keep(blocks.y, before.y);
    keep(blocks.u, before.u);
    keep(blocks.v, before.v);
    return blocks;
}

// The damage that the frames' bytes cannot carry, done to the laid-out file.
void DamageFile(const BinkShape& shape, std::vector<uint8_t>& bytes)
{
    const uint32_t index = BINK_HEADER_SIZE + 12 * shape.audioTracks;
    const auto start = [&](uint32_t frame) { return GetU32(bytes, index + 4 * frame) & ~1u; };
    if (shape.damage == BinkDamage::ShortLastFrame) {
        if (shape.frames == 0)
            throw std::invalid_argument("no last frame to shorten");
        bytes.resize(start(shape.frames - 1) + 2);
        PutU32(bytes, 4, static_cast<uint32_t>(bytes.size()) - 8);
        PutU32(bytes, index + 4 * shape.frames, static_cast<uint32_t>(bytes.size()));
    } else if (shape.damage == BinkDamage::SoundPastFrame) {
        if (shape.audioTracks == 0 || shape.damagedFrame >= shape.frames)
            throw std::invalid_argument("no sound packet to damage");
        const uint32_t at = start(shape.damagedFrame);
        PutU32(bytes, at, start(shape.damagedFrame + 1) - at);
    } else if (shape.damage == BinkDamage::BadSound) {
        if (shape.audioTracks == 0 || shape.damagedFrame >= shape.frames)
            throw std::invalid_argument("no sound packet to damage");
        uint32_t at = start(shape.damagedFrame);
        for (uint32_t t = 0; t + 1 < shape.audioTracks; ++t)
            at += 4 + GetU32(bytes, at);
        const uint32_t size = GetU32(bytes, at);
        if (size <= 4)
            throw std::invalid_argument("the frame has no sound for its last track");
        std::fill(bytes.begin() + at + 8, bytes.begin() + at + 4 + size, uint8_t(0xFF));
    }
}

} // namespace

BinkShape HiResShape(uint32_t frames, uint32_t number)
{
    BinkShape shape;
    shape.frames = frames;
    shape.number = number;
    return shape;
}

BinkShape LoResShape(uint32_t frames, uint32_t number)
{
    BinkShape shape = HiResShape(frames, number);
    shape.width = 320;
    shape.height = 224;
    return shape;
}

BinkBlocks ClipPicture(const BinkShape& shape, uint32_t frame)
{
    const int16_t* tint = TINTS[shape.number % 7];
    BinkBlocks picture(shape.width, shape.height, BACKGROUND_Y, tint[0], tint[1]);
    const uint32_t across = picture.LumaAcross();
    const uint32_t down = picture.LumaDown();
    const auto paint = [&](uint32_t x, uint32_t y, int16_t colour) {
        if (x < across && y < down)
            picture.y[y * across + x] = colour;
    };

    // The bar: an eighth of the width, in the second row band from the bottom.
    const uint32_t barRows = std::max(1u, down / 28);
    const uint32_t barTop = down > 2 * barRows ? down - 2 * barRows : 0;
    for (uint32_t x = 0; x < std::max(1u, across / 8); ++x) {
        for (uint32_t y = barTop; y < barTop + barRows; ++y)
            paint((frame + x) % across, y, BAR_Y);
    }

    // The number, centred above the bar, in cells of as many blocks as leave it large.
    const std::string digits = std::to_string(shape.number);
    const uint32_t cellsAcross = 4 * static_cast<uint32_t>(digits.size()) - 1;
    const uint32_t cell = std::max(1u, std::min(across / (cellsAcross + 2), down / 12));
    const uint32_t left = across > cellsAcross * cell ? (across - cellsAcross * cell) / 2 : 0;
    const uint32_t top = barTop > 5 * cell ? (barTop - 5 * cell) / 2 : 0;
    for (size_t d = 0; d < digits.size(); ++d) {
        for (uint32_t row = 0; row < 5; ++row) {
            for (uint32_t column = 0; column < 3; ++column) {
                if (GLYPHS[digits[d] - '0'][row][column] != '#')
                    continue;
                const uint32_t x = left + (4 * static_cast<uint32_t>(d) + column) * cell;
                for (uint32_t dy = 0; dy < cell; ++dy) {
                    for (uint32_t dx = 0; dx < cell; ++dx)
                        paint(x + dx, top + row * cell + dy, DIGIT_Y);
                }
            }
        }
    }
    return picture;
}

std::vector<uint8_t> BuildBinkFile(const BinkShape& shape)
{
    BinkWriter writer(shape.width, shape.height, CLIP_FRAME_RATE,
                      std::vector<BinkAudioTrack>(shape.audioTracks, shape.audio));
    const uint32_t interval = std::max<uint32_t>(1, shape.keyFrameInterval);
    // The picture repeats each time the bar has gone round, and so do the frames' bytes.
    const uint32_t period = (shape.width + 7) / 8;
    std::map<std::pair<uint32_t, bool>, std::vector<uint8_t>> videos;
    for (uint32_t i = 0; i < shape.frames; ++i) {
        const bool key = i % interval == 0;
        const bool inVideo = shape.damage == BinkDamage::UnknownBlockType || shape.damage == BinkDamage::CutFrame;
        if (inVideo && i == shape.damagedFrame) {
            BinkBlocks blocks = FrameBlocks(shape, i, key);
            if (shape.damage == BinkDamage::UnknownBlockType)
                blocks.y[0] = BAD_BLOCK;
            std::vector<uint8_t> video = EncodeBinkVideo(blocks);
            if (shape.damage == BinkDamage::CutFrame)
                video.resize(8);
            writer.AddVideo(std::move(video), key);
            continue;
        }
        std::vector<uint8_t>& video = videos[{i % period, key}];
        if (video.empty())
            video = EncodeBinkVideo(FrameBlocks(shape, i, key));
        writer.AddVideo(video, key);
    }
    std::vector<uint8_t> bytes = writer.Finish();
    DamageFile(shape, bytes);
    return bytes;
}

std::vector<uint8_t> BinkHeader(const BinkShape& shape, uint32_t size)
{
    std::vector<uint8_t> header = BuildBinkFile(shape);
    header.resize(BINK_HEADER_SIZE);
    PutU32(header, 4, size - 8);
    return header;
}

std::vector<uint32_t> BinkFrameSizes(const BinkShape& shape)
{
    const std::vector<uint8_t> bytes = BuildBinkFile(shape);
    const uint32_t index = BINK_HEADER_SIZE + 12 * shape.audioTracks;
    std::vector<uint32_t> sizes;
    for (uint32_t i = 0; i < shape.frames; ++i)
        sizes.push_back((GetU32(bytes, index + 4 * (i + 1)) & ~1u) - (GetU32(bytes, index + 4 * i) & ~1u));
    return sizes;
}

void PutU32(std::vector<uint8_t>& bytes, uint32_t offset, uint32_t value)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        throw std::out_of_range("PutU32 past the end");
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetU32(const std::vector<uint8_t>& bytes, uint32_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        throw std::out_of_range("GetU32 past the end");
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[offset + i];
    return value;
}

} // namespace testsupport
