#include "BinkBuilder.h"
#include "ClipTable.h"

#include <algorithm>
#include <stdexcept>

namespace testsupport {

namespace {

constexpr uint32_t KEY_FRAME_FACTOR = 6;

uint32_t NextRandom(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 16;
}

} // namespace

BinkShape HiResShape(uint32_t frames, uint32_t seed)
{
    BinkShape shape;
    shape.frames = frames;
    shape.seed = seed;
    return shape;
}

BinkShape LoResShape(uint32_t frames, uint32_t seed)
{
    BinkShape shape;
    shape.width = 320;
    shape.height = 224;
    shape.frames = frames;
    shape.deltaFrameBytes = 2;
    shape.seed = seed;
    return shape;
}

std::vector<uint32_t> BinkFrameSizes(const BinkShape& shape)
{
    // Bit 0 of an index entry is the key-frame flag, so every frame starts at an
    // even offset: sizes are even and never 0.
    const uint32_t delta = std::max<uint32_t>(2, (shape.deltaFrameBytes + 1) & ~1u);
    const uint32_t interval = std::max<uint32_t>(1, shape.keyFrameInterval);
    std::vector<uint32_t> sizes(shape.frames);
    for (uint32_t i = 0; i < shape.frames; ++i) {
        sizes[i] = (i % interval == 0) ? delta * KEY_FRAME_FACTOR
                                       : delta + 2 * ((i * 7 + shape.seed) % 4);
    }
    return sizes;
}

std::vector<uint8_t> BuildBinkFile(const BinkShape& shape)
{
    const std::vector<uint32_t> sizes = BinkFrameSizes(shape);
    const uint32_t interval = std::max<uint32_t>(1, shape.keyFrameInterval);
    const uint32_t indexStart = BINK_HEADER_SIZE + 12 * shape.audioTracks;
    uint64_t length = indexStart + 4ull * (shape.frames + 1ull);
    uint32_t largest = 0;
    for (uint32_t size : sizes) {
        length += size;
        largest = std::max(largest, size);
    }
    if (length > UINT32_MAX)
        throw std::length_error("Bink file too large");

    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    bytes[0] = 'B';
    bytes[1] = 'I';
    bytes[2] = 'K';
    bytes[3] = static_cast<uint8_t>(shape.version);
    const uint32_t header[] = {static_cast<uint32_t>(length - 8), shape.frames, largest, shape.frames,
                               shape.width, shape.height, CLIP_FRAME_RATE, 1,
                               0,    // video flags
                               shape.audioTracks};
    uint32_t at = 4;
    for (uint32_t value : header) {
        PutU32(bytes, at, value);
        at += 4;
    }
    for (uint32_t track = 0; track < shape.audioTracks; ++track) {
        PutU32(bytes, at + 4 * track, 0x1000);                                      // largest decoded packet
        PutU32(bytes, at + 4 * (shape.audioTracks + track), 22050u | (0x3000u << 16));   // rate, 16-bit stereo
        PutU32(bytes, at + 4 * (2 * shape.audioTracks + track), track);             // track id
    }
    at += 12 * shape.audioTracks;

    uint32_t offset = indexStart + 4 * (shape.frames + 1);
    for (uint32_t i = 0; i < shape.frames; ++i) {
        PutU32(bytes, at, offset | (i % interval == 0 ? 1u : 0u));
        at += 4;
        offset += sizes[i];
    }
    PutU32(bytes, at, offset);
    at += 4;

    uint32_t state = shape.seed * 2654435761u + shape.width;
    for (; at < bytes.size(); ++at)
        bytes[at] = static_cast<uint8_t>(NextRandom(state));
    return bytes;
}

std::vector<uint8_t> BinkHeader(const BinkShape& shape, uint32_t size)
{
    std::vector<uint8_t> header = BuildBinkFile(shape);
    header.resize(BINK_HEADER_SIZE);
    PutU32(header, 4, size - 8);
    return header;
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
