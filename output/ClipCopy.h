#pragma once
// Copies one encoding of a clip out of an archive: size bytes from offset, in
// chunks of exactly 1 MiB through one heap block taken once per copy.
#include "catalogue/ClipTable.h"

#include <cstddef>
#include <cstdint>
#include <functional>

class CFile;

constexpr uint32_t COPY_CHUNK = MIB;

// Called after each chunk with the running total of bytes copied.
using CopyProgress = std::function<void(uint32_t copied)>;
// Where the copy buffer comes from (std::malloc when none is given); the block is
// given back with std::free on every way out. Tests hand in one that fails.
using CopyAllocator = void* (*)(size_t);

// Seeks source to offset and copies size bytes into target at its current position:
// ceil(size / 1 MiB) chunks and as many progress reports, none for size 0.
// Throws CFileException (endOfFile, naming the source) when the source ends before
// the span does, after writing only the bytes really read; throws CMemoryException
// when there is no copy buffer, before anything is read or written.
void CopyClipBytes(CFile& source, uint32_t offset, uint32_t size, CFile& target,
                   const CopyProgress& progress, CopyAllocator allocate = nullptr);
