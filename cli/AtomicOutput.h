#pragma once
// An output file that appears under its name only when it is complete: the bytes
// go to a hidden temporary file beside it (".NAME.XXXXXX"), which Commit syncs and
// renames into place. Until then, and on every failure, an existing file of that
// name stays as it was and the temporary file is removed.
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
    const std::string& TemporaryPath() const { return m_strTemporary; }

    // Moves the finished file into place. Without overwrite, a file that has
    // appeared under the name meanwhile is kept and the commit fails (EEXIST).
    void Commit(bool overwrite);

private:
    std::string m_strOutput;
    std::string m_strTemporary;
    std::unique_ptr<CFile> m_file;
    bool m_bCommitted = false;
};
