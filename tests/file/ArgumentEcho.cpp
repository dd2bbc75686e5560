// Writes its arguments after the first into the file the first names, each
// ended by a NUL byte, and exits with their count: what a started program
// really received, whatever the system's way of handing arguments over.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 125;
    FILE* log = std::fopen(argv[1], "wb");
    if (!log)
        return 125;
    for (int i = 2; i < argc; ++i)
        std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, log);
    return std::fclose(log) == 0 ? argc - 2 : 125;
}
