#pragma once
// Files of a test's own: a fresh folder under the system's temporary folder,
// removed with everything in it when the object goes, and readers of what the
// code under test wrote there.
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class ScratchFolder {
public:
    // Named after the running test.
    ScratchFolder();
    // For a folder that outlives one test (a suite's); name tells it apart.
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

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

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

} // namespace testsupport
