// Writes the golden record of the library's answers, or dumps the calls of
// one variant as text (to diff two builds when the golden test fails).
//   golden_tool write [FILE]            the hashes, to FILE or stdout
//   golden_tool blocks [FILE]           the hashes by block of calls
//   golden_tool dump VARIANT [FILE]     every call of VARIANT, to FILE or stdout
#include <cstdio>
#include <cstring>

#include "../../host/name_file.h"
#include "golden_calls.h"

int main(int argc, char** argv) {
    if (argc < 2 ||
        (std::strcmp(argv[1], "write") != 0 && std::strcmp(argv[1], "blocks") != 0 &&
         std::strcmp(argv[1], "dump") != 0) ||
        (std::strcmp(argv[1], "dump") == 0 && argc < 3)) {
        std::fprintf(stderr, "usage: golden_tool write|blocks [FILE] | golden_tool dump VARIANT [FILE]\n");
        return 2;
    }
    std::vector<std::string> names = loadNameFile(OVRIN_NAMES_FILE);
    if (names.size() < 2) {
        std::fprintf(stderr, "golden_tool: no names in %s\n", OVRIN_NAMES_FILE);
        return 1;
    }
    bool dump = std::strcmp(argv[1], "dump") == 0;
    const char* path = argc > (dump ? 3 : 2) ? argv[dump ? 3 : 2] : nullptr;
    FILE* out = path ? std::fopen(path, "w") : stdout;
    if (!out) {
        std::perror(path);
        return 1;
    }
    if (dump) {
        computeGolden(names, out, argv[2]);
    } else if (std::strcmp(argv[1], "blocks") == 0) {
        writeGoldenBlocks(out, computeGolden(names));
    } else {
        writeGoldenFile(out, computeGolden(names));
    }
    if (path) std::fclose(out);
    return 0;
}
