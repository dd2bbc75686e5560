#include "cli/IndexPage.h"

#include "catalogue/ClipTexts.h"
#include "cli/Reporting.h"
#include "cli/TerminalText.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

const char REPLACEMENT[] = "\xEF\xBF\xBD";   // U+FFFD

// The style, inline: a grid of cards that takes as many columns as the window
// holds (one on a phone), the reader's own fonts, light or dark as the reader
// has set.
const char STYLE[] = R"(:root {
  color-scheme: light dark;
  --page: #f3f2ee; --card: #ffffff; --ink: #1f1e1b; --muted: #5d5b55; --line: #d9d6cf; --accent: #7a3e12;
  --missing: #f7e9e4; --missing-ink: #7d2b12;
}
@media (prefers-color-scheme: dark) {
  :root {
    --page: #191917; --card: #262522; --ink: #ecebe6; --muted: #aaa79f; --line: #3a3935; --accent: #f0a86b;
    --missing: #3b2720; --missing-ink: #f3b9a4;
  }
}
* { box-sizing: border-box; }
body { margin: 0; background: var(--page); color: var(--ink);
       font: 16px/1.45 system-ui, -apple-system, "Segoe UI", Roboto, "Noto Sans", "DejaVu Sans", sans-serif; }
header.page, section.disc { max-width: 90rem; margin: 0 auto; padding: 0 1rem; }
header.page { padding-top: 1.25rem; }
h1 { font-size: 1.6rem; margin: 0 0 .25rem; }
h2 { font-size: 1.3rem; margin: 2rem 0 .15rem; }
h2 small { font-size: .8rem; font-weight: normal; color: var(--muted); overflow-wrap: anywhere; }
h3 { font-size: 1rem; margin: 0 0 .3rem; line-height: 1.3; }
p { margin: 0; }
a { color: var(--accent); }
.summary, .facts, .sizes { color: var(--muted); font-size: .875rem; }
nav ul { list-style: none; display: flex; flex-wrap: wrap; gap: .25rem 1rem; padding: 0; margin: .5rem 0 0; }
ol.clips { list-style: none; padding: 0; margin: .75rem 0 2rem; display: grid; gap: 1rem;
           grid-template-columns: repeat(auto-fill, minmax(min(100%, 17rem), 1fr)); }
li.card { background: var(--card); border: 1px solid var(--line); border-radius: .5rem; overflow: hidden;
          display: flex; flex-direction: column; }
li.card { position: relative; }
.poster { display: block; width: 100%; height: auto; aspect-ratio: 640 / 448; background: #000; }
a.poster-link { display: block; }
.missing { display: flex; align-items: center; justify-content: center; padding: 1rem; text-align: center;
           background: var(--missing); color: var(--missing-ink); font-size: .875rem; overflow-wrap: anywhere; }
.about { padding: .6rem .8rem .8rem; display: flex; flex-direction: column; gap: .15rem; }
.number { display: inline-block; min-width: 2.2em; color: var(--muted); font-variant-numeric: tabular-nums; }
.facts span + span::before, .sizes span + span::before { content: "\00b7"; margin: 0 .4em; }
.files { font-size: .875rem; margin-top: .2rem; }
.files a + a { margin-left: .75rem; }
.duration { position: absolute; top: .5rem; right: .5rem; padding: 0 .4em; border-radius: .25rem;
            background: rgba(0, 0, 0, .7); color: #fff; font-size: .8rem; font-variant-numeric: tabular-nums;
            pointer-events: none; }
.back { margin: -1rem 0 2rem; font-size: .875rem; }
.failure { color: var(--missing-ink); font-size: .8rem; overflow-wrap: anywhere; }
.refused { color: var(--missing-ink); margin: .5rem 0 2rem; overflow-wrap: anywhere; }
.salvaged { color: var(--missing-ink); margin: .5rem 0 0; overflow-wrap: anywhere; }
)";

std::string TotalLength(uint64_t frames)
{
    return FormatClipLength(static_cast<uint32_t>(std::min<uint64_t>(frames, std::numeric_limits<uint32_t>::max())));
}

uint64_t Frames(const IndexSection& section)
{
    uint64_t frames = 0;
    for (const IndexCard& card : section.cards)
        frames += card.frames;
    return frames;
}

std::string Attribute(const char* name, const std::string& value)
{
    return std::string(" ") + name + "=\"" + EscapeHtml(value) + "\"";
}

// Every video, the one played too: a browser that plays none of them still saves it.
std::string Downloads(const std::vector<IndexVideo>& videos)
{
    std::string links;
    for (const IndexVideo& video : videos)
        links += " <a" + Attribute("href", RelativeUrl(video.file)) + Attribute("type", video.type) + " download>" +
                 EscapeHtml(video.label) + "</a>";
    return links.empty() ? links : "<p class=\"files\">Download" + links + "</p>\n";
}

// The top of the card: the clip's player, its poster (a link to its first
// video when there is one), or in place of the poster why there is none.
std::string Picture(const IndexCard& card)
{
    const std::string size = " width=\"640\" height=\"448\"";
    if (card.playsInPage && !card.videos.empty()) {
        const IndexVideo& video = card.videos.front();
        // Nothing is fetched before it is played: a page of a hundred clips
        // would otherwise read every video's header as it opens.
        std::string player = "<video class=\"poster\" controls preload=\"none\"" + size;
        if (!card.poster.empty())
            player += Attribute("poster", RelativeUrl(card.poster));
        player += Attribute("aria-label", card.title) + ">";
        player += "<source" + Attribute("src", RelativeUrl(video.file)) + Attribute("type", video.type) + ">";
        player += "<a" + Attribute("href", RelativeUrl(video.file)) + ">" + EscapeHtml(video.label) + "</a>";
        return player + "</video>\n";
    }
    if (card.poster.empty())
        return "<div class=\"poster missing\"><p>" + EscapeHtml(card.failure) + "</p></div>\n";
    const std::string image =
        "<img class=\"poster\"" + Attribute("src", RelativeUrl(card.poster)) + Attribute("alt", card.title) + size + ">";
    if (card.videos.empty())
        return image + "\n";
    return "<a class=\"poster-link\"" + Attribute("href", RelativeUrl(card.videos.front().file)) + ">" + image +
           "</a>\n";
}

std::string Card(const IndexCard& card, const std::string& id)
{
    std::string html = "<li class=\"card\"" + Attribute("id", id) + ">\n" + Picture(card);
    if (!card.poster.empty() || (card.playsInPage && !card.videos.empty()))
        html += "<span class=\"duration\">" + FormatClipLength(card.frames) + "</span>\n";
    html += "<div class=\"about\">\n";
    html += "<h3><span class=\"number\">" + std::to_string(card.number) + "</span> " + EscapeHtml(card.title) +
            "</h3>\n";
    html += "<p class=\"facts\"><span>" + FormatClipLength(card.frames) + "</span><span>" +
            Counted(card.frames, "frame", "frames") + "</span></p>\n";
    html += std::string("<p class=\"sizes\"><span>") + CLIP_COLUMN_HEADINGS[2] + " " + FormatClipSize(card.hiSize) +
            "</span><span>" + CLIP_COLUMN_HEADINGS[3] + " " + FormatClipSize(card.loSize) + "</span></p>\n";
    html += Downloads(card.videos);
    if (card.playsInPage && card.poster.empty() && !card.failure.empty())
        html += "<p class=\"failure\">" + EscapeHtml(card.failure) + "</p>\n";
    for (const std::string& problem : card.problems)
        html += "<p class=\"failure\">" + EscapeHtml(problem) + "</p>\n";
    return html + "</div>\n</li>\n";
}

std::string SectionName(const IndexSection& section)
{
    return section.label.empty() ? section.archive : section.label;
}

std::string Section(const IndexSection& section, const std::string& id)
{
    std::string html = "<section class=\"disc\"" + Attribute("id", id) + ">\n";
    html += "<h2>" + EscapeHtml(SectionName(section));
    if (!section.label.empty())
        html += " <small>" + EscapeHtml(section.archive) + "</small>";
    html += "</h2>\n";
    if (!section.refusal.empty())
        return html + "<p class=\"refused\">" + EscapeHtml(section.refusal) + "</p>\n</section>\n";
    html += "<p class=\"summary\">" + Counted(section.cards.size(), "clip", "clips") + ", " +
            TotalLength(Frames(section)) + " in all</p>\n";
    if (!section.salvage.empty())
        html += "<p class=\"salvaged\">" + EscapeHtml(section.salvage) + "</p>\n";
    html += "<ol class=\"clips\">\n";
    for (const IndexCard& card : section.cards)
        html += Card(card, id + "-clip-" + std::to_string(card.number));
    return html + "</ol>\n<p class=\"back\"><a href=\"#top\">Back to the top</a></p>\n</section>\n";
}

} // namespace

std::string EscapeHtml(const std::string& text)
{
    std::string html;
    html.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            const size_t length = Utf8SequenceLength(text, i);
            if (length == 0) {
                html += REPLACEMENT;
                ++i;
            } else {
                html.append(text, i, length);
                i += length;
            }
            continue;
        }
        switch (byte) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '"': html += "&quot;"; break;
        case '\'': html += "&#39;"; break;
        case '\t':
        case '\n': html += static_cast<char>(byte); break;
        default:
            if (byte < 0x20 || byte == 0x7F)
                html += REPLACEMENT;
            else
                html += static_cast<char>(byte);
        }
        ++i;
    }
    return html;
}

std::string RelativeUrl(const std::string& fileName)
{
    static const char HEX[] = "0123456789ABCDEF";
    std::string url;
    for (const char c : fileName) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '.' || byte == '_' || byte == '~') {
            url += c;
        } else {
            url += '%';
            url += HEX[byte >> 4];
            url += HEX[byte & 15];
        }
    }
    return url;
}

bool IsPageOf(const std::string& head, const std::string& program)
{
    const std::string mark = "<meta name=\"generator\"" + Attribute("content", program);
    const size_t at = head.find(mark.substr(0, mark.size() - 1));   // the content, without its closing quote
    if (at == std::string::npos)
        return false;
    const size_t after = at + mark.size() - 1;
    return after < head.size() && (head[after] == ' ' || head[after] == '"');
}

std::string ComposeIndexPage(const std::vector<IndexSection>& sections, const std::string& generator)
{
    std::string names;
    size_t clips = 0;
    uint64_t frames = 0;
    for (const IndexSection& section : sections) {
        names += (names.empty() ? "" : ", ") + SectionName(section);
        clips += section.cards.size();
        frames += Frames(section);
    }
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<meta name=\"generator\"" + Attribute("content", generator) + ">\n";
    html += "<title>" + EscapeHtml(names.empty() ? std::string("Movie clips") : "Movie clips: " + names) +
            "</title>\n";
    html += std::string("<style>\n") + STYLE + "</style>\n</head>\n<body>\n";
    html += "<header class=\"page\" id=\"top\">\n<h1>Movie clips</h1>\n";
    html += "<p class=\"summary\">" + Counted(sections.size(), "archive", "archives") + ", " +
            Counted(clips, "clip", "clips") + ", " + TotalLength(frames) + " in all</p>\n";
    if (sections.size() > 1) {
        html += "<nav><ul>\n";
        for (size_t i = 0; i < sections.size(); ++i)
            html += "<li><a href=\"#disc-" + std::to_string(i + 1) + "\">" + EscapeHtml(SectionName(sections[i])) +
                    "</a></li>\n";
        html += "</ul></nav>\n";
    }
    html += "</header>\n<main>\n";
    for (size_t i = 0; i < sections.size(); ++i)
        html += Section(sections[i], "disc-" + std::to_string(i + 1));
    return html + "</main>\n</body>\n</html>\n";
}
