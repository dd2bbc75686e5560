#include "ClipList.h"
#include "ClipTitles.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

// A list with the three operations FillClipList needs, keeping the rows as text.
class FakeList {
public:
    using Row = std::array<std::string, 4>;

    void DeleteAllItems() { rows.clear(); }
    void InsertItem(int row, const char* label)
    {
        ASSERT_GE(row, 0);
        ASSERT_LE(static_cast<size_t>(row), rows.size());
        rows.insert(rows.begin() + row, Row{label, "", "", ""});
    }
    void SetItemText(int row, int column, const char* text)
    {
        ASSERT_LT(static_cast<size_t>(row), rows.size());
        ASSERT_TRUE(column >= 1 && column <= 3);
        rows[row][column] = text;
    }

    std::vector<Row> rows;
};

std::unique_ptr<ClipTable> TableOf(uint32_t clips)
{
    auto table = std::make_unique<ClipTable>();
    table->nCount = clips;
    for (uint32_t i = 0; i < clips; ++i)
        table->aRecords[i] = {8 + i, 1048576u * (i + 1), 0, 524288u * (i + 1), 900u * (i + 1)};
    return table;
}

} // namespace

TEST(ClipList, OneRowPerClipWithLabelLengthAndBothSizes)
{
    FakeList list;
    FillClipList(list, *TableOf(3), DISC_NONE);
    ASSERT_EQ(3u, list.rows.size());
    EXPECT_EQ((FakeList::Row{"Clip 001", "1:00", "1.0M", "0.5M"}), list.rows[0]);
    EXPECT_EQ((FakeList::Row{"Clip 002", "2:00", "2.0M", "1.0M"}), list.rows[1]);
    EXPECT_EQ((FakeList::Row{"Clip 003", "3:00", "3.0M", "1.5M"}), list.rows[2]);
}

TEST(ClipList, KnownDiscRowsShowTheirTitles)
{
    FakeList list;
    FillClipList(list, *TableOf(34), 1);
    ASSERT_EQ(34u, list.rows.size());
    for (int i = 0; i < 34; ++i)
        EXPECT_EQ(g_clipTitles[1][i], list.rows[i][0]);
}

TEST(ClipList, RefillingLeavesOnlyTheNewRows)
{
    FakeList list;
    FillClipList(list, *TableOf(5), 0);
    FillClipList(list, *TableOf(2), DISC_NONE);
    ASSERT_EQ(2u, list.rows.size());
    EXPECT_EQ("Clip 001", list.rows[0][0]);
    EXPECT_EQ("Clip 002", list.rows[1][0]);
}

TEST(ClipList, EmptyTableEmptiesTheList)
{
    FakeList list;
    FillClipList(list, *TableOf(4), DISC_NONE);
    FillClipList(list, *TableOf(0), DISC_NONE);
    EXPECT_TRUE(list.rows.empty());
}
