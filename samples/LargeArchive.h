#pragma once
// A disc archive too large to build in memory, for the extraction benchmarks:
// one clip whose high-resolution file holds hiSize bytes of varied data after a
// real Bink header, then a small low-resolution file. It is handed out in pieces
// of at most 1 MiB, so that each benchmark writes it with its own platform's calls.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace testsupport {

// The high-resolution file starts here, right after the KVP header.
constexpr uint32_t LARGE_ARCHIVE_HI_OFFSET = 8;

void GenerateLargeArchive(uint32_t hiSize, const std::function<void(const void* bytes, size_t count)>& write);

} // namespace testsupport
