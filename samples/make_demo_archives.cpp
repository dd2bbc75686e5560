// make-demo-archives DIR: writes the demo disc archives and the publisher
// archive into DIR.
#include "samples/DemoArchives.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-archives DIR\n");
        return 2;
    }
    try {
        const auto& demos = testsupport::DemoArchives();
        const auto paths = testsupport::WriteDemoArchives(argv[1]);
        for (size_t i = 0; i < paths.size(); ++i)
            std::printf("%s: %u clips\n", paths[i].c_str(), demos[i].clips);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-demo-archives: %s\n", e.what());
        return 1;
    }
    return 0;
}
