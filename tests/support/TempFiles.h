#pragma once
// A fixture whose files live in a scratch folder of the running test's own.
#include "CatchFileException.h"
#include "file/File.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

// The file tests lean on these too.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class TempFiles : public ::testing::Test {
protected:
    // A path in the folder that names no file yet.
    std::string NewPath() { return m_folder / ("file" + std::to_string(++m_nPaths) + ".tmp"); }

    std::string NewFile(const std::string& content)
    {
        const std::string path = NewPath();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string Content(const std::string& path) { return testsupport::ReadWholeFile(path); }

    // A file of length bytes, sparse where the system can (no gigabytes of
    // writes), holding text at position; "" where the file system cannot hold it.
    std::string NewLargeFile(uint64_t length, uint64_t position, const std::string& text)
    {
        const std::string path = NewFile("");
        std::error_code error;
        std::filesystem::resize_file(path, length, error);
        if (error)
            return "";
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(position));
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        EXPECT_TRUE(file.good()) << "writing at " << position;
        return path;
    }

private:
    testsupport::ScratchFolder m_folder;
    int m_nPaths = 0;
};
