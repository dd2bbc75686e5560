#pragma once
// A fixture whose files live in a scratch folder of the running test's own.
#include "CatchFileException.h"
#include "File.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

// The file tests lean on these too.
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

private:
    testsupport::ScratchFolder m_folder;
    int m_nPaths = 0;
};
