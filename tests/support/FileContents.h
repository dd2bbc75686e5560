#pragma once
// What a file holds, and bytes as text to compare it with.
#include "file/MemFile.h"
#include "samples/ArchiveBuilder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

std::string Text(const std::vector<uint8_t>& bytes);
std::string Text(const CMemFile& file);
// size bytes of the archive from offset; throws std::out_of_range past its end.
std::string Span(const ArchiveBuilder& archive, uint32_t offset, uint32_t size);

} // namespace testsupport
