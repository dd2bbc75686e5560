#pragma once
// A fresh folder for scratch files, removed with everything in it when the
// object goes. It needs no test framework: the benchmarks use it too.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class TempFolder {
public:
    // Under the system's temporary folder.
    explicit TempFolder(const std::string& name);
    // Under base, made when missing.
    TempFolder(const std::string& base, const std::string& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with its trailing separator.
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }
    // Writes a file into the folder and returns its path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string m_path;
};

} // namespace testsupport
