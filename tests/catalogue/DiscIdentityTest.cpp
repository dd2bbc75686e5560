#include "catalogue/DiscIdentity.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void ExpectIdentity(const char* title, DiscId disc, const std::string& label)
{
    const DiscIdentity identity = IdentifyDisc(title);
    EXPECT_EQ(disc, identity.disc) << title;
    EXPECT_EQ(label, identity.label) << title;
}

} // namespace

TEST(DiscIdentity, NamesTheFourDiscsIgnoringAsciiCase)
{
    ExpectIdentity("disc1.pak", 0, "KVN Disc 1");
    ExpectIdentity("disc2.pak", 1, "KVN Disc 2");
    ExpectIdentity("DISC2.PAK", 1, "KVN Disc 2");
    ExpectIdentity("disc3.pak", 2, "KVN Disc 3");
    ExpectIdentity("Disc4.Pak", 3, "KVN Disc 4");
}

TEST(DiscIdentity, PublisherHasItsOwnLabelButNoDisc)
{
    ExpectIdentity("publish.pak", DISC_NONE, "Publisher");
    ExpectIdentity("PUBLISH.PAK", DISC_NONE, "Publisher");
}

TEST(DiscIdentity, AnyOtherTitleIsUnknown)
{
    for (const char* title : {"disc5.pak", "disc1", "disc1.pak.bak", "movies.pak", "", "xdisc1.pak",
                              "disc1.pa", "disc1.pak ", "D:\\Movies\\disc2.pak", "publish"}) {
        ExpectIdentity(title, DISC_NONE, "Unknown PAK");
    }
}

TEST(DiscIdentity, OnlyAsciiLettersFold)
{
    // 'I' + 0x20 is 'i', but a byte above 127 never equals a letter.
    ExpectIdentity("d\xC9sc1.pak", DISC_NONE, "Unknown PAK");
    ExpectIdentity("disc1\x0Epak", DISC_NONE, "Unknown PAK");   // '.' + 0x20 would be 'N'
    ExpectIdentity("DISC1\x0EPAK", DISC_NONE, "Unknown PAK");
}

TEST(DiscIdentity, PublisherLayoutIsChosenByTheWholeTitle)
{
    EXPECT_TRUE(IsPublisherArchive("publish.pak"));
    EXPECT_TRUE(IsPublisherArchive("Publish.PAK"));
    EXPECT_FALSE(IsPublisherArchive("publish.pa"));
    EXPECT_FALSE(IsPublisherArchive("publish.pak2"));
    EXPECT_FALSE(IsPublisherArchive("disc1.pak"));
    EXPECT_FALSE(IsPublisherArchive(""));
}

TEST(DiscIdentity, FileTitleDropsTheFolder)
{
    EXPECT_STREQ("disc2.pak", FileTitleOf("D:\\Movies\\disc2.pak"));
    EXPECT_STREQ("disc2.pak", FileTitleOf("/home/user/movies/disc2.pak"));
    EXPECT_STREQ("disc2.pak", FileTitleOf("D:disc2.pak"));
    EXPECT_STREQ("disc2.pak", FileTitleOf("disc2.pak"));
    EXPECT_STREQ("", FileTitleOf("D:\\Movies\\"));
}
