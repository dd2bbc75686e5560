#include "output/ClipNames.h"
#include "ui/ViewerNames.h"

#include <gtest/gtest.h>

namespace {

TEST(ProposedClipName, NumberIsOneBasedThreeDigitsAndLetterFollowsResolution)
{
    EXPECT_EQ(ProposedClipName(0, ResolutionFromIndex(0)), "Clip001h.bik");
    EXPECT_EQ(ProposedClipName(0, ResolutionFromIndex(1)), "Clip001l.bik");
    EXPECT_EQ(ProposedClipName(11, ResolutionFromIndex(1)), "Clip012l.bik");
    EXPECT_EQ(ProposedClipName(255, ResolutionFromIndex(1)), "Clip256l.bik");
    EXPECT_EQ(ProposedClipName(99, ResolutionFromIndex(0)), "Clip100h.bik");
    // Any radio index other than 0 is the low resolution.
    EXPECT_EQ(ProposedClipName(4, ResolutionFromIndex(7)), "Clip005l.bik");
}

TEST(ToolFolderOf, KeepsEverythingUpToAndIncludingTheLastBackslash)
{
    EXPECT_EQ(ToolFolderOf("C:\\Tools\\zodovu.exe"), "C:\\Tools\\");
    EXPECT_EQ(ToolFolderOf("C:\\Program Files\\Zodovu 1.1\\zodovu.exe"), "C:\\Program Files\\Zodovu 1.1\\");
    EXPECT_EQ(ToolFolderOf("zodovu.exe"), "");
    EXPECT_EQ(ToolFolderOf(nullptr), "");
}

TEST(BuildPlayerCommand, WindowedParametersAreTheQuotedTemporaryPathOnly)
{
    for (int resolution : {0, 1}) {
        PlayerCommand command;
        ASSERT_TRUE(BuildPlayerCommand("C:\\Tools\\", false, ResolutionFromIndex(resolution), command));
        EXPECT_EQ(command.tempClip, "C:\\Tools\\~clip.bik");
        EXPECT_EQ(command.player, "C:\\Tools\\binkplay.exe");
        EXPECT_EQ(command.parameters, "\"C:\\Tools\\~clip.bik\"");
        EXPECT_EQ(command.parameters.size(), 20u);
    }
}

TEST(BuildPlayerCommand, FullScreenOptionFollowsTheClosingQuoteWithoutABlank)
{
    PlayerCommand high;
    ASSERT_TRUE(BuildPlayerCommand("C:\\Tools\\", true, ResolutionFromIndex(0), high));
    EXPECT_EQ(high.parameters, "\"C:\\Tools\\~clip.bik\"/D108 /R /C");
    EXPECT_EQ(high.parameters.size(), 31u);

    PlayerCommand low;
    ASSERT_TRUE(BuildPlayerCommand("C:\\Tools\\", true, ResolutionFromIndex(1), low));
    EXPECT_EQ(low.parameters, "\"C:\\Tools\\~clip.bik\"/D102 /R /C");
}

TEST(BuildPlayerCommand, FolderWithBlanksIsQuotedOnlyInTheParameters)
{
    PlayerCommand command;
    ASSERT_TRUE(BuildPlayerCommand("C:\\Program Files\\Zodovu\\", false, ResolutionFromIndex(0), command));
    EXPECT_EQ(command.player, "C:\\Program Files\\Zodovu\\binkplay.exe");
    EXPECT_EQ(command.parameters, "\"C:\\Program Files\\Zodovu\\~clip.bik\"");
}

std::string FolderOfLength(size_t length)
{
    std::string folder = "C:\\";
    folder.append(length - folder.size() - 1, 'd');
    return folder + "\\";
}

TEST(BuildPlayerCommand, FolderOf237CharactersFitsAnd238Refuses)
{
    PlayerCommand command;
    ASSERT_TRUE(BuildPlayerCommand(FolderOfLength(237), true, ResolutionFromIndex(0), command));
    EXPECT_EQ(command.parameters.size(), MAX_PATH_CHARS - 1);

    for (bool fullscreen : {true, false}) {
        PlayerCommand refused;
        refused.tempClip = "unchanged";
        EXPECT_FALSE(BuildPlayerCommand(FolderOfLength(238), fullscreen, ResolutionFromIndex(0), refused));
        EXPECT_EQ(refused.tempClip, "unchanged");
        EXPECT_TRUE(refused.parameters.empty());
    }
}

TEST(FolderOfChosenFile, KeepsTheTrailingSeparator)
{
    EXPECT_EQ(FolderOfChosenFile("C:\\Movies\\intro.bik", "intro.bik"), "C:\\Movies\\");
    EXPECT_EQ(FolderOfChosenFile("D:\\Clip001h.bik", "Clip001h.bik"), "D:\\");
    EXPECT_EQ(FolderOfChosenFile("x.bik", "a-longer-name.bik"), "");
}

} // namespace
