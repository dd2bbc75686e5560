// make-demo-archives DIR: writes the demo disc archives and the publisher
// archive into DIR.
#include "samples/DemoArchives.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

const char USAGE[] = "Usage: make-demo-archives DIR\n"
                     "Write the demo disc archives (disc1.pak to disc4.pak) and the publisher\n"
                     "archive into DIR, made when missing.\n";

// A word that looks like an option is never taken for the folder: "--help"
// would otherwise become one, filled with the archives.
int Refuse(const std::string& reason)
{
    std::fprintf(stderr, "make-demo-archives: %s\n%sTry 'make-demo-archives --help' for more information.\n",
                 reason.c_str(), USAGE);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const char* folder = nullptr;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (!optionsEnd && (std::strcmp(word, "-h") == 0 || std::strcmp(word, "--help") == 0)) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (!optionsEnd && std::strcmp(word, "--") == 0)
            optionsEnd = true;
        else if (!optionsEnd && word[0] == '-' && word[1] != '\0')
            return Refuse(std::string("unknown option '") + word + "'");
        else if (folder)
            return Refuse(std::string("one folder only: '") + word + "' follows '" + folder + "'");
        else
            folder = word;
    }
    if (!folder)
        return Refuse("DIR is required");
    try {
        const auto& demos = testsupport::DemoArchives();
        const auto paths = testsupport::WriteDemoArchives(folder);
        for (size_t i = 0; i < paths.size(); ++i)
            std::printf("%s: %u clips\n", paths[i].c_str(), demos[i].clips);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-demo-archives: %s\n", e.what());
        return 1;
    }
    return 0;
}
