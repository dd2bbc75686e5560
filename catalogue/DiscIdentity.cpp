#include "catalogue/DiscIdentity.h"

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whole-name comparison that folds only ASCII letters, so the result never
// depends on the locale or the code page.
bool EqualsIgnoringAsciiCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
    }
    return *a == *b;
}

struct KnownArchive {
    const char* title;
    DiscId disc;
    const char* label;
};

// Tried in this order; the first equal name decides.
const KnownArchive KNOWN_ARCHIVES[] = {
    {"disc1.pak", 0, "KVN Disc 1"},
    {"disc2.pak", 1, "KVN Disc 2"},
    {"disc3.pak", 2, "KVN Disc 3"},
    {"disc4.pak", 3, "KVN Disc 4"},
    {"publish.pak", DISC_NONE, "Publisher"},
};

const char* const PUBLISHER_TITLE = "publish.pak";

} // namespace

DiscIdentity IdentifyDisc(const char* fileTitle)
{
    if (fileTitle != nullptr) {
        for (const KnownArchive& known : KNOWN_ARCHIVES) {
            if (EqualsIgnoringAsciiCase(fileTitle, known.title))
                return {known.disc, known.label};
        }
    }
    return {DISC_NONE, "Unknown PAK"};
}

bool IsPublisherArchive(const char* fileTitle)
{
    return fileTitle != nullptr && EqualsIgnoringAsciiCase(fileTitle, PUBLISHER_TITLE);
}

const char* FileTitleOf(const char* path)
{
    const char* title = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':')
            title = p + 1;
    }
    return title;
}
