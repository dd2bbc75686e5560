#pragma once
// The page of zodovu-cli index: one HTML file that needs nothing but the
// folder it is in. A section a disc, a card a clip; the style is inline, the
// fonts are the reader's own, and there is no script, so that it works from
// file:// and never reaches out. Every text put into it is escaped, and every
// file it links is named by a relative URL of its own bytes.
#include <cstdint>
#include <string>
#include <vector>

// A converted clip beside the page.
struct IndexVideo {
    std::string file;    // the name in the page's folder
    std::string type;    // "video/mp4", "video/webm"
    std::string label;   // "MP4, 640×448"
};

struct IndexCard {
    uint32_t number = 0;        // 1-based
    std::string title;
    uint32_t frames = 0;
    uint32_t hiSize = 0;        // bytes of each encoding
    uint32_t loSize = 0;
    std::string poster;         // the JPEG's name in the folder; empty when there is none
    std::string failure;        // why there is no poster, shown in its place
    std::vector<IndexVideo> videos;
    bool playsInPage = false;   // the first video is the card's player (index --convert)
    std::vector<std::string> problems;   // what else failed for the clip (a conversion), shown on the card
};

struct IndexSection {
    std::string archive;        // the archive's file name, as given
    std::string label;          // "KVN Disc 2"; empty for an archive not read
    std::string refusal;        // why the archive was not read
    std::vector<IndexCard> cards;
    // A damaged archive's salvage and its fault, shown above its clips; braced,
    // as a section made without it need not name it.
    std::string salvage{};
};

// text for HTML, as element content or a quoted attribute's value: & < > " '
// escaped; bytes that are not UTF-8 and control characters but tab and line
// feed become U+FFFD.
std::string EscapeHtml(const std::string& text);
// A file name in the page's folder as a relative URL: every byte but ASCII
// letters, digits and - . _ ~ percent-encoded, so that '#', '?', '%', ':' and
// blanks name the file and nothing else.
std::string RelativeUrl(const std::string& fileName);

// Whether head, the start of a page, carries the generator mark that
// ComposeIndexPage writes for program ("zodovu-cli", of any version).
bool IsPageOf(const std::string& head, const std::string& program);

// The whole page; generator names the program that wrote it (program and version).
std::string ComposeIndexPage(const std::vector<IndexSection>& sections, const std::string& generator);
