#include "ClipCopy.h"

#include "File.h"
#include "FileException.h"

#include <cstdlib>
#include <memory>

namespace {

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

    std::unique_ptr<void, FreeBlock> block((allocate ? allocate : std::malloc)(COPY_CHUNK));
    if (!block)
        throw CMemoryException("Not enough memory for the 1 MiB copy buffer.");

    // copied never passes size, so the loop ends even for sizes near 2^32.
    uint32_t copied = 0;
    while (copied < size) {
        const uint32_t wanted = size - copied < COPY_CHUNK ? size - copied : COPY_CHUNK;
        const uint32_t got = source.Read(block.get(), wanted);
        if (got > 0)
            target.Write(block.get(), got);
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
