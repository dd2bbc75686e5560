#include "file/SpoolFile.h"

#include "file/BackEnd.h"

#include <vector>

void OpenSpoolFile(CFile& file, const std::string& folder, const std::string& forPath)
{
    file.Attach(CreateSpool(folder, forPath), forPath);
}

void CopySpool(CFile& spool, CFile& output)
{
    constexpr uint32_t CHUNK = 1 << 20;
    std::vector<uint8_t> buffer(CHUNK);
    const uint64_t length = spool.GetLength64();
    for (uint64_t position = 0; position < length;) {
        const uint32_t got = spool.ReadAt(position, buffer.data(), CHUNK);
        if (got == 0)
            throw CFileException(CFileException::endOfFile, 0, spool.GetFilePath());
        output.Write(buffer.data(), got);
        position += got;
    }
}
