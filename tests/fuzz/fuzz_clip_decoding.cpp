// Feeds arbitrary bytes, as one encoding of a clip, through the decoding path of
// verify --frames: the plain header checks first, then, for what they pass,
// FFmpeg's demuxer and decoders through our own input. Whatever the bytes,
// nothing may crash, and every failure is our exception with the clip's name.
#include "catalogue/ClipChecks.h"
#include "file/MemFile.h"
#include "media/FrameCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

ClipTable g_table;

uint32_t Little32(const uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (uint32_t(bytes[3]) << 24);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 44 || size > INT32_MAX)
        return 0;
    CMemFile archive(data, static_cast<uint32_t>(size));
    // One clip whose encoding is the whole input: high resolution unless the
    // header says 320 wide, and as many frames as the header counts.
    const Resolution resolution = Little32(data + 20) == 320 ? Resolution::Low : Resolution::High;
    ClipRecord& record = g_table.aRecords[0];
    record = {0, static_cast<uint32_t>(size), 0, 0, Little32(data + 8)};
    if (resolution == Resolution::Low)
        record = {0, 0, 0, static_cast<uint32_t>(size), Little32(data + 8)};
    g_table.nCount = 1;
    try {
        if (!CheckEncoding(archive, static_cast<uint32_t>(size), g_table, 0, resolution).empty())
            return 0;   // refused before any decoder, as verify --frames refuses it
        for (const ClipFinding& finding : CheckEncodingFrames(archive, g_table, 0, resolution).findings)
            if (finding.clip != 1 || finding.text.compare(0, 7, "clip 1 ") != 0)
                __builtin_trap();
    } catch (const CException&) {
        // a file error or no memory: reported, never a crash
    }
    return 0;
}
