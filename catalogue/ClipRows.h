#pragma once
// Collects the rows FillClipList writes, as text: the command line prints exactly
// the texts of the viewer's list.
#include "catalogue/ClipTexts.h"

#include <array>
#include <string>
#include <vector>

class ClipRows {
public:
    static constexpr int COLUMNS = CLIP_COLUMNS;
    using Row = std::array<std::string, COLUMNS>;

    void DeleteAllItems() { m_rows.clear(); }
    void InsertItem(int row, const char* label)
    {
        m_rows.insert(m_rows.begin() + row, Row{label, "", "", ""});
    }
    void SetItemText(int row, int column, const char* text)
    {
        m_rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column)) = text;
    }

    const std::vector<Row>& Rows() const { return m_rows; }

private:
    std::vector<Row> m_rows;
};
