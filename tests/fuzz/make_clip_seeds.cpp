// Writes a few small clips that decode, for the decoding fuzz target to start
// from: both picture sizes, with and without sound.
#include "samples/BinkBuilder.h"

#include <cstdio>
#include <string>

using namespace testsupport;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_clip_seeds FOLDER\n");
        return 2;
    }
    BinkShape shapes[] = {HiResShape(3, 7), LoResShape(4, 12), HiResShape(2, 3)};
    shapes[2].audioTracks = 1;
    shapes[2].audio.stereo = true;
    int written = 0;
    for (const BinkShape& shape : shapes) {
        const std::vector<uint8_t> bytes = BuildBinkFile(shape);
        const std::string path = std::string(argv[1]) + "/clip" + std::to_string(++written) + ".bik";
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
            std::fprintf(stderr, "make_clip_seeds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
