#include "output/ClipCopy.h"

#include "file/File.h"
#include "file/FileException.h"

#include <cstdlib>
#include <memory>

namespace {

constexpr uintptr_t PAGE_BYTES = 4096;

struct FreeBlock {
    void operator()(void* block) const { std::free(block); }
};

} // namespace

void CopyClipBytes(CFile& source, uint32_t offset, uint32_t size, CFile& target,
                   const CopyProgress& progress, CopyAllocator allocate)
{
    // Positions go to the file layer as signed 32-bit values: an offset of 2 GiB
    // or more arrives negative and the seek rejects it (badSeek).
    source.Seek(static_cast<int32_t>(offset), CFile::begin);

    // The chunk starts on a page: the system copies whole pages between a file
    // and such a buffer at twice the speed of one that is a few bytes off.
    std::unique_ptr<void, FreeBlock> block((allocate ? allocate : std::malloc)(COPY_CHUNK + PAGE_BYTES));
    if (!block)
        throw CMemoryException("Not enough memory for the 1 MiB copy buffer.");
    const uintptr_t start = reinterpret_cast<uintptr_t>(block.get());
    uint8_t* const chunk = reinterpret_cast<uint8_t*>((start + PAGE_BYTES - 1) & ~uintptr_t(PAGE_BYTES - 1));

    // copied never passes size, so the loop ends even for sizes near 2^32.
    uint32_t copied = 0;
    while (copied < size) {
        const uint32_t wanted = size - copied < COPY_CHUNK ? size - copied : COPY_CHUNK;
        const uint32_t got = source.Read(chunk, wanted);
        if (got > 0)
            target.Write(chunk, got);
        if (got < wanted) {
            // The archive ends before the clip's recorded end: keep what was there
            // and invent nothing past it.
            throw CFileException(CFileException::endOfFile, 0, source.GetFilePath());
        }
        copied += got;
        if (progress)
            progress(copied);
    }
}
