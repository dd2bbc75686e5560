#include "file/PathNames.h"
#include "output/ClipNames.h"

#include <gtest/gtest.h>

namespace {

TEST(BatchClipName, StemNumberEncodingAndTitleMadeSafe)
{
    struct Case {
        const char* stem;
        int index;
        Resolution resolution;
        const char* title;
        const char* name;
        const char* extension = ".bik";
    };
    const Case cases[] = {
        {"disc2", 11, Resolution::High, "The Glass Tower", "disc2-012h The Glass Tower.bik"},
        {"disc2", 11, Resolution::Low, "The Glass Tower", "disc2-012l The Glass Tower.bik"},
        {"publish", 255, Resolution::High, "Clip 256", "publish-256h Clip 256.bik"},
        {"d", 0, Resolution::High, "a/b\\c:d*e?f\"g<h>i|j", "d-001h a_b_c_d_e_f_g_h_i_j.bik"},
        {"d", 0, Resolution::High, "tab\there\x7f", "d-001h tab_here_.bik"},
        {"d", 0, Resolution::High, "Who goes there...  ", "d-001h Who goes there.bik"},
        {"d", 0, Resolution::High, " . ", "d-001h.bik"},
        {"..hidden", 0, Resolution::High, "T", "__hidden-001h T.bik"},
        {"a:b", 0, Resolution::High, "T", "a_b-001h T.bik"},
        {"disc1", 2, Resolution::High, "Caf\xc3\xa9", "disc1-003h Caf\xc3\xa9.bik"},
        {"disc2", 11, Resolution::Low, "Who goes there...", "disc2-012l Who goes there.mp4", ".mp4"},
        {"d", 0, Resolution::High, " . ", "d-001h.webm", ".webm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BatchClipName(c.stem, c.index, c.resolution, c.title, c.extension), c.name) << c.title;
        // pack reads the clip and the encoding back from every .bik name.
        int index = -1;
        Resolution resolution = Resolution::High;
        EXPECT_EQ(ParseBatchClipName(c.name, index, resolution), std::string(c.extension) == ".bik") << c.name;
        if (std::string(c.extension) == ".bik") {
            EXPECT_EQ(index, c.index) << c.name;
            EXPECT_EQ(resolution, c.resolution) << c.name;
        }
    }
}

TEST(ParseBatchClipName, TakesTheFirstNumberThatEndsTheStem)
{
    int index = -1;
    Resolution resolution = Resolution::Low;
    EXPECT_TRUE(ParseBatchClipName("my-disc-007h Part-002l two.BIK", index, resolution));
    EXPECT_EQ(index, 6);
    EXPECT_EQ(resolution, Resolution::High);
    for (const char* name : {"disc2-012x.bik", "disc2-12h.bik", "disc2-0123h.bik", "disc2-000h.bik",
                             "disc2-257l.bik", "disc2-012h.mp4", "disc2-012hx.bik", "Clip012h.bik", ".bik", "-012h"})
        EXPECT_FALSE(ParseBatchClipName(name, index, resolution)) << name;
}

// A long title is cut so that the name still fits, and never inside a UTF-8 character.
TEST(BatchClipName, LongTitleIsCutBetweenCharactersToFitTheLongestName)
{
    std::string title;
    for (int i = 0; i < 200; ++i)
        title += "\xc3\xa9";   // two bytes each
    const std::string name = BatchClipName("disc1", 0, Resolution::High, title);
    EXPECT_LE(name.size(), MAX_FILE_NAME_BYTES);
    EXPECT_GE(name.size(), MAX_FILE_NAME_BYTES - 1);
    EXPECT_EQ(name.compare(0, 11, "disc1-001h "), 0);
    EXPECT_EQ((name.size() - 11 - 4) % 2, 0u) << name;
    EXPECT_EQ(name.substr(name.size() - 6), "\xc3\xa9.bik");
}

// An archive's name may take all 255 bytes: the stem gives way too.
TEST(BatchClipName, LongStemIsCutOnceTheTitleIsGone)
{
    for (const std::string extension : {".bik", ".webm"}) {
        for (const size_t stemBytes : {240u, 247u, 250u, 255u}) {
            const std::string name =
                BatchClipName(std::string(stemBytes, 's'), 11, Resolution::Low, "The Glass Tower", extension);
            EXPECT_LE(name.size(), MAX_FILE_NAME_BYTES) << stemBytes;
            EXPECT_NE(name.find("-012l"), std::string::npos) << name;
            EXPECT_EQ(name.substr(name.size() - extension.size()), extension);
        }
    }
}

TEST(ArchiveStem, DropsOnlyTheLastExtension)
{
    EXPECT_EQ(ArchiveStem("disc2.pak"), "disc2");
    EXPECT_EQ(ArchiveStem("DISC2.PAK"), "DISC2");
    EXPECT_EQ(ArchiveStem("copy.of.disc2.pak"), "copy.of.disc2");
    EXPECT_EQ(ArchiveStem("disc2"), "disc2");
    EXPECT_EQ(ArchiveStem(".pak"), ".pak");
}

} // namespace
