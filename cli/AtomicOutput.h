#pragma once
// An output file that appears under its name only when it is complete. Where the
// file system allows it the bytes go to an unnamed file in the output's folder
// (O_TMPFILE), which Commit syncs and links into place, so that nothing is left
// behind even when the program is killed; elsewhere they go to a hidden temporary
// file beside it (".NAME.XXXXXX", shortened to fit wherever NAME fits), which
// Commit syncs and renames. Until then, and on every failure, an existing file of
// that name stays as it was and the temporary file goes.
#include "File.h"

#include <memory>
#include <string>

class CAtomicOutput {
public:
    // Creates the temporary file; throws CFileException naming the output on failure.
    explicit CAtomicOutput(const std::string& outputPath);
    ~CAtomicOutput();   // removes the temporary file unless committed
    CAtomicOutput(const CAtomicOutput&) = delete;
    CAtomicOutput& operator=(const CAtomicOutput&) = delete;

    CFile& File() { return *m_file; }

    // Moves the finished file into place. Without overwrite, a file that has
    // appeared under the name meanwhile is kept and the commit fails (EEXIST);
    // with it, only a regular file is ever replaced.
    void Commit(bool overwrite);

private:
    void NameTheUnnamedFile();

    std::string m_output;
    std::string m_temporary;   // empty while the file has no name
    int m_unnamedDescriptor = -1;
    std::unique_ptr<CFile> m_file;
    bool m_committed = false;
};

// The hidden temporary name for the file name: ".NAME.XXXXXX", with NAME cut
// (between UTF-8 characters) so that the result is no longer than 255 bytes.
std::string TemporaryNamePattern(const std::string& name);
