#pragma once
// Unique paths in the system's temporary folder, removed when the fixture ends.
#include "CatchFileException.h"
#include "File.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class TempFiles : public ::testing::Test {
protected:
    std::string NewPath()
    {
        static std::random_device random;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string("zodovu-") + test->name() + "-"
            + std::to_string(random()) + "-"
            + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".tmp";
        const std::string path = (std::filesystem::temp_directory_path() / name).string();
        m_paths.push_back(path);
        return path;
    }

    std::string NewFile(const std::string& content)
    {
        const std::string path = NewPath();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string Content(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void TearDown() override
    {
        for (const std::string& path : m_paths) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }

private:
    std::vector<std::string> m_paths;
};
