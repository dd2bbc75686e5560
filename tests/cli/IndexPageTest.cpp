// What of index needs no process: texts made safe for HTML and URLs,
// the frames weighed for a poster and how detailed each is, and what the page
// shows of a card.
#include "cli/IndexPage.h"
#include "media/Poster.h"

#include <gtest/gtest.h>

namespace {

TEST(IndexPage, TextsAreEscapedAndNamesBecomeRelativeUrls)
{
    const struct {
        std::string text, html, url;
    } cases[] = {
        {"Storm over Vellin", "Storm over Vellin", "Storm%20over%20Vellin"},
        {"A Thief's \"Welcome\"", "A Thief&#39;s &quot;Welcome&quot;", "A%20Thief%27s%20%22Welcome%22"},
        {"<b>&amp;</b>", "&lt;b&gt;&amp;amp;&lt;/b&gt;", "%3Cb%3E%26amp%3B%3C%2Fb%3E"},
        {"#1 50%?.jpg", "#1 50%?.jpg", "%231%2050%25%3F.jpg"},
        {"javascript:x", "javascript:x", "javascript%3Ax"},
        {"caf\xC3\xA9", "caf\xC3\xA9", "caf%C3%A9"},
        {"bad\xFF\xC3", "bad\xEF\xBF\xBD\xEF\xBF\xBD", "bad%FF%C3"},
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", "%ED%A0%80"},   // a surrogate is no UTF-8
        {"tab\tbell\a", "tab\tbell\xEF\xBF\xBD", "tab%09bell%07"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeHtml(c.text), c.html) << c.text;
        EXPECT_EQ(RelativeUrl(c.text), c.url) << c.text;
    }
}

TEST(IndexPage, ACardShowsItsPosterItsPlayerOrWhyItHasNone)
{
    IndexCard card;
    card.number = 12;
    card.title = "Storm <over> Vellin";
    card.frames = 45;
    card.poster = "d-012h Storm _over_ Vellin.jpg";
    const IndexVideo video{"d-012h Storm _over_ Vellin.mp4", "video/mp4", "MP4, 640\xC3\x97" "448"};
    const std::string poster = "src=\"d-012h%20Storm%20_over_%20Vellin.jpg\" alt=\"Storm &lt;over&gt; Vellin\"";
    const std::string player = "<video class=\"poster\" controls preload=\"none\" width=\"640\" height=\"448\" "
                               "poster=\"d-012h%20Storm%20_over_%20Vellin.jpg\" aria-label=\"Storm &lt;over&gt; "
                               "Vellin\"><source src=\"d-012h%20Storm%20_over_%20Vellin.mp4\" type=\"video/mp4\">";
    const std::string link = "<a class=\"poster-link\" href=\"d-012h%20Storm%20_over_%20Vellin.mp4\"><img";
    const std::string download = "<p class=\"files\">Download <a href=\"d-012h%20Storm%20_over_%20Vellin.mp4\" "
                                 "type=\"video/mp4\" download>MP4, 640\xC3\x97" "448</a></p>";
    const std::string duration = "<span class=\"duration\">0:03</span>";
    const struct {
        const char* what;
        bool hasPoster, hasVideo, plays;
        std::vector<std::string> shown, absent;
    } cases[] = {
        {"a poster", true, false, false, {poster, duration}, {"<video", "<a class", "download"}},
        {"a poster linking its video", true, true, false, {link, poster, download, duration}, {"<video"}},
        {"a player", true, true, true, {player, download, duration}, {"<img"}},
        {"no poster", false, false, false, {"<div class=\"poster missing\"><p>clip 12 (high-res.): frame 4 of 45: "
                                            "Invalid &lt;block&gt; type</p></div>"}, {"<img", "<video", duration}},
    };
    for (const auto& c : cases) {
        IndexCard shown = card;
        if (!c.hasPoster) {
            shown.poster.clear();
            shown.failure = "clip 12 (high-res.): frame 4 of 45: Invalid <block> type";
        }
        if (c.hasVideo)
            shown.videos = {video};
        shown.playsInPage = c.plays;
        const std::string page = ComposeIndexPage({{"d&d.pak", "KVN Disc 2", "", {shown}}}, "zodovu-cli");
        for (const std::string& part : c.shown)
            EXPECT_NE(page.find(part), std::string::npos) << c.what << ": " << part << "\n" << page;
        for (const std::string& part : c.absent)
            EXPECT_EQ(page.find(part), std::string::npos) << c.what << ": " << part;
        EXPECT_NE(page.find("KVN Disc 2 <small>d&amp;d.pak</small>"), std::string::npos);
        EXPECT_NE(page.find("1 clip, 0:03 in all"), std::string::npos);
        EXPECT_NE(page.find("<header class=\"page\" id=\"top\">"), std::string::npos);
        EXPECT_NE(page.find("</ol>\n<p class=\"back\"><a href=\"#top\">"), std::string::npos);
    }
    // Nothing from elsewhere: no script, no stylesheet or font to fetch.
    const std::string page = ComposeIndexPage({{"d.pak", "", "Invalid movie file", {}}}, "zodovu-cli");
    for (const char* outside : {"<script", "<link", "@import", "url(", "http:", "https:", "//"})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    EXPECT_NE(page.find("<p class=\"refused\">Invalid movie file</p>"), std::string::npos);
}

// A page is index's own, to be rewritten without --force, only by its mark.
TEST(IndexPage, OnlyItsOwnGeneratorMarkMakesAPageOurs)
{
    const std::string ours = ComposeIndexPage({}, "zodovu-cli 1.4.0");
    const struct {
        std::string head;
        bool ours;
    } cases[] = {
        {ours, true},
        {ours.substr(0, ours.find("<title>")), true},
        {"<html><head><meta name=\"generator\" content=\"zodovu-cli\"></head>", true},
        {"<html><head><title>My clips</title></head>", false},
        {"<meta name=\"generator\" content=\"zodovu-cli-fork 2\">", false},
        {"<meta name=\"generator\" content=\"other zodovu-cli 1\">", false},
        {"<meta name=\"generator\" content=\"zodovu-cli", false},   // cut short
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPageOf(c.head, "zodovu-cli"), c.ours) << c.head;
}

TEST(Poster, FramesWeighedAreSpreadOverTheFirstHalf)
{
    const struct {
        uint32_t frames;
        std::vector<uint32_t> candidates;
    } cases[] = {
        {0, {}},
        {1, {0}},
        {2, {0}},
        {10, {0, 1, 2, 3, 4}},
        {150, {7, 22, 37, 52, 67}},
        {901, {45, 135, 225, 315, 405}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PosterCandidates(c.frames), c.candidates) << c.frames;
}

TEST(Poster, DetailIsTheMeanStepBetweenNeighbours)
{
    // 4x2 pictures, a stride of 5.
    const struct {
        std::vector<uint8_t> luma;
        double detail;
    } cases[] = {
        {{0, 0, 0, 0, 99, 0, 0, 0, 0, 99}, 0.0},                    // black
        {{90, 90, 90, 90, 0, 90, 90, 90, 90, 0}, 0.0},              // flat
        {{0, 0, 200, 200, 0, 0, 0, 200, 200, 0}, 400.0 / 10},      // an edge down the middle: 2 of the 6 steps across
        {{0, 100, 0, 100, 0, 100, 0, 100, 0, 0}, (600 + 400) / 10.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(PictureDetail(c.luma.data(), 5, 4, 2), c.detail);
}

} // namespace
