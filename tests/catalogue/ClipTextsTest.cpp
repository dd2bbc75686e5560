#include "catalogue/ClipTexts.h"
#include "catalogue/ClipTitles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

TEST(ClipTexts, LengthIsMinutesAndSecondsAtFifteenFramesPerSecond)
{
    const struct {
        uint32_t frames;
        const char* text;
    } cases[] = {
        {0, "0:00"}, {14, "0:00"}, {15, "0:01"}, {899, "0:59"},
        {900, "1:00"}, {1234, "1:22"}, {54000, "60:00"}, {4294967295u, "4772185:53"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, FormatClipLength(c.frames)) << c.frames;
}

TEST(ClipTexts, SizeIsMebibytesWithOneDecimal)
{
    const struct {
        uint32_t bytes;
        const char* text;
    } cases[] = {
        {8, "0.0M"}, {52428, "0.0M"}, {52429, "0.1M"}, {1048576, "1.0M"},
        {1572864, "1.5M"}, {10485760, "10.0M"}, {4294967295u, "4096.0M"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, FormatClipSize(c.bytes)) << c.bytes;
}

TEST(ClipTexts, UnknownDiscsNumberTheirClipsFromOne)
{
    EXPECT_EQ("Clip 001", FormatClipLabel(DISC_NONE, 0));
    EXPECT_EQ("Clip 002", FormatClipLabel(DISC_NONE, 1));
    EXPECT_EQ("Clip 010", FormatClipLabel(DISC_NONE, 9));
    EXPECT_EQ("Clip 256", FormatClipLabel(DISC_NONE, 255));
    EXPECT_EQ("Clip 1000", FormatClipLabel(DISC_NONE, 999));
}

TEST(ClipTexts, KnownDiscsShowTitlesAndNumberWhatTheyLack)
{
    EXPECT_EQ(g_clipTitles[1][33], FormatClipLabel(1, 33));
    EXPECT_EQ(g_clipTitles[0][0], FormatClipLabel(0, 0));
    EXPECT_EQ(g_clipTitles[3][6], FormatClipLabel(3, 6));
    EXPECT_EQ("Clip 008", FormatClipLabel(3, 7));     // a null slot
    EXPECT_EQ("Clip 041", FormatClipLabel(0, 40));    // beyond the row
    EXPECT_EQ("Clip 256", FormatClipLabel(2, 255));
    EXPECT_EQ("Clip 001", FormatClipLabel(4, 0));     // no such row
}

TEST(ClipTitles, RowsAreFilledFromSlotZeroThenNull)
{
    for (int disc = 0; disc < CLIP_TITLE_ROWS; ++disc) {
        EXPECT_NE(g_clipTitles[disc][0], nullptr) << "disc " << disc;
        bool bEnded = false;
        for (int slot = 0; slot < CLIP_TITLE_SLOTS; ++slot) {
            bEnded = bEnded || g_clipTitles[disc][slot] == nullptr;
            EXPECT_TRUE(!bEnded || g_clipTitles[disc][slot] == nullptr) << "disc " << disc << " slot " << slot;
        }
    }
}

TEST(ClipTitles, TitlesAreShortPrintableAndDistinctWithinADisc)
{
    for (int disc = 0; disc < CLIP_TITLE_ROWS; ++disc) {
        std::set<std::string> seen;
        for (int slot = 0; slot < CLIP_TITLE_SLOTS && g_clipTitles[disc][slot]; ++slot) {
            const std::string title = g_clipTitles[disc][slot];
            EXPECT_GE(title.size(), 8u) << title;
            EXPECT_LE(title.size(), 23u) << title;
            for (char c : title)
                EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << title;
            EXPECT_NE(' ', title.front()) << title;
            EXPECT_NE(' ', title.back()) << title;
            EXPECT_TRUE(seen.insert(title).second) << "repeated on disc " << disc << ": " << title;
        }
    }
}
