#include "FileContents.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace testsupport {

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::string Text(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::string Text(const CMemFile& file)
{
    return Text(file.Data());
}

std::string Span(const ArchiveBuilder& archive, uint32_t offset, uint32_t size)
{
    if (offset > archive.Size() || archive.Size() - offset < size)
        throw std::out_of_range("a span past the end of the archive");
    return std::string(archive.Bytes().begin() + offset, archive.Bytes().begin() + offset + size);
}

} // namespace testsupport
