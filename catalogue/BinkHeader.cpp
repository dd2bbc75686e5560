#include "catalogue/BinkHeader.h"

#include "file/File.h"

namespace {

uint32_t LittleEndian32(const unsigned char* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// True when count bytes at offset lie inside the archive and can be reached.
bool Reachable(uint32_t archiveLength, uint64_t offset, uint64_t count)
{
    return offset + count <= archiveLength && offset <= static_cast<uint64_t>(INT32_MAX);
}

} // namespace

bool ReadBinkHeader(CFile& archive, uint32_t archiveLength, uint32_t offset, BinkHeader& header)
{
    if (!Reachable(archiveLength, offset, BINK_HEADER_BYTES))
        return false;
    unsigned char bytes[BINK_HEADER_BYTES];
    archive.Seek(static_cast<int32_t>(offset), CFile::begin);
    if (archive.Read(bytes, sizeof bytes) != sizeof bytes)
        return false;
    header.sizeField = LittleEndian32(bytes + 4);
    header.frames = LittleEndian32(bytes + 8);
    header.largestFrame = LittleEndian32(bytes + 12);
    header.framesAgain = LittleEndian32(bytes + 16);
    header.width = LittleEndian32(bytes + 20);
    header.height = LittleEndian32(bytes + 24);
    header.audioTracks = LittleEndian32(bytes + 40);
    return true;
}

uint64_t FrameIndexOffset(const BinkHeader& header)
{
    return BINK_HEADER_BYTES + 12ull * header.audioTracks;
}

bool ReadBinkFramesEnd(CFile& archive, uint32_t archiveLength, uint32_t offset, const BinkHeader& header,
                       uint32_t& end)
{
    const uint64_t entry = FrameIndexOffset(header) + 4ull * header.frames;   // the index's last entry
    if (entry + 4 > header.sizeField + 8ull || !Reachable(archiveLength, offset + entry, 4))
        return false;
    unsigned char bytes[4];
    archive.Seek(static_cast<int32_t>(offset + entry), CFile::begin);
    if (archive.Read(bytes, sizeof bytes) != sizeof bytes)
        return false;
    end = LittleEndian32(bytes) & ~1u;   // bit 0 would be a key-frame flag, not part of the offset
    return true;
}
