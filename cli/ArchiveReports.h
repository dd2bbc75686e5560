#pragma once
// What list and verify say of each archive they are given: its text, one
// after another, or its JSON entry in the array "archives" of one document.
// Nothing is printed until every archive has been read: standard output may be
// one of them, and then nothing may go there.
#include "cli/JsonText.h"

#include <string>

struct LoadedArchive;
class Reporter;
struct RunState;

class ArchiveReports {
public:
    explicit ArchiveReports(bool json) : m_json(json) {}
    bool HasText() const { return !m_text.empty(); }
    void AddText(const std::string& text) { m_text += text; }
    void AddEntry(::Json entry) { m_entries.push_back(std::move(entry)); }
    // The texts, or {"format": 1, "archives": [...]}.
    void Print(Reporter& report) const;

private:
    bool m_json;
    std::string m_text;
    ::Json m_entries = ::Json::array();
};

// An archive that no name identifies ("Unknown PAK") but whose clip count is
// one disc's: a note on standard error that --disc would read it as that disc.
void NoteDiscByClipCount(const LoadedArchive& archive, const RunState& run);
