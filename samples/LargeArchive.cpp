#include "samples/LargeArchive.h"

#include "catalogue/ClipTable.h"
#include "samples/ArchiveBuilder.h"
#include "samples/BinkBuilder.h"

#include <algorithm>
#include <vector>

namespace testsupport {

void GenerateLargeArchive(uint32_t hiSize, const std::function<void(const void* bytes, size_t count)>& write)
{
    constexpr uint32_t FRAMES = 7680;
    const uint8_t kvp[KVP_HEADER_SIZE] = {'K', 'V', 'P', 0, 0, 0, 0, 0};
    write(kvp, sizeof kvp);

    const std::vector<uint8_t> header = BinkHeader(HiResShape(FRAMES), hiSize);
    write(header.data(), header.size());

    // xorshift: bytes that no file system or cache can fold away
    std::vector<uint64_t> block(MIB / 8);
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (uint32_t written = BINK_HEADER_SIZE; written < hiSize;) {
        for (uint64_t& word : block) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            word = state;
        }
        const uint32_t n = std::min(hiSize - written, MIB);
        write(block.data(), n);
        written += n;
    }
    const std::vector<uint8_t> lo = BuildBinkFile(LoResShape(FRAMES));
    write(lo.data(), lo.size());
}

} // namespace testsupport
