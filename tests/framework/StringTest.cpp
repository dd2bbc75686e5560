// The framework's string, which needs no window: tested in every tree.
#include "framework/String.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(String, BuildsComparesAndCuts)
{
    CString s("disc");
    s += "2";
    s += '.';
    const CString full = s + "pak";
    EXPECT_EQ(full, "disc2.pak");
    EXPECT_TRUE("disc2.pak" == full);
    EXPECT_NE(full, CString("disc2.PAK"));
    EXPECT_EQ(full.CompareNoCase("DISC2.PAK"), 0);
    EXPECT_EQ(full.GetLength(), 9);
    EXPECT_EQ(full.Left(5), "disc2");
    EXPECT_EQ(full.Mid(6), "pak");
    EXPECT_EQ(full.Right(20), "disc2.pak");
    EXPECT_EQ(full.Find('.'), 5);
    EXPECT_EQ(full.Find("x"), -1);

    CString empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ(static_cast<const char*>(empty), "");
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
}

TEST(String, FormatIsNeverCut)
{
    CString s;
    s.Format("Clip %03i %i:%02i %.1fM", 7, 1, 5, 2.25);
    EXPECT_EQ(s, "Clip 007 1:05 2.2M");
    const std::string longName(1000, 'x');
    s.Format("Scanning %s...", longName.c_str());
    EXPECT_EQ(s.GetLength(), 1012);
}

TEST(String, BufferTakesWhatWasWritten)
{
    CString s;
    char* p = s.GetBuffer(10);
    std::strcpy(p, "abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "abc");
    EXPECT_EQ(s.GetLength(), 3);
}
