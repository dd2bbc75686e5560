#include "catalogue/ClipList.h"
#include "catalogue/ClipRows.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

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
    ClipRows list;
    FillClipList(list, *TableOf(3), DISC_NONE);
    ASSERT_EQ(3u, list.Rows().size());
    EXPECT_EQ((ClipRows::Row{"Clip 001", "1:00", "1.0M", "0.5M"}), list.Rows()[0]);
    EXPECT_EQ((ClipRows::Row{"Clip 002", "2:00", "2.0M", "1.0M"}), list.Rows()[1]);
    EXPECT_EQ((ClipRows::Row{"Clip 003", "3:00", "3.0M", "1.5M"}), list.Rows()[2]);
}

TEST(ClipList, RefillingLeavesOnlyTheNewRows)
{
    ClipRows list;
    FillClipList(list, *TableOf(5), 0);
    FillClipList(list, *TableOf(2), DISC_NONE);
    ASSERT_EQ(2u, list.Rows().size());
    EXPECT_EQ("Clip 001", list.Rows()[0][0]);
    EXPECT_EQ("Clip 002", list.Rows()[1][0]);
}

TEST(ClipList, EmptyTableEmptiesTheList)
{
    ClipRows list;
    FillClipList(list, *TableOf(4), DISC_NONE);
    FillClipList(list, *TableOf(0), DISC_NONE);
    EXPECT_TRUE(list.Rows().empty());
}
