// make_people: writes synthetic people with labelled duplicates as CSV.
//   make_people group SEED PEOPLE OUT.csv
//   make_people link SEED PEOPLE A.csv B.csv
// The column truth holds each record's person; errors names what spoiled
// a copy. The name lists come from tests/quality/names unless --names DIR
// says otherwise.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "people_generator.h"

namespace {

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

int usage() {
    std::fprintf(stderr,
                 "usage: make_people [--names DIR] group SEED PEOPLE OUT.csv\n"
                 "       make_people [--names DIR] link SEED PEOPLE A.csv B.csv\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    std::string names = OVRIN_PEOPLE_NAMES;
    if (words.size() >= 2 && words[0] == "--names") {
        names = words[1];
        words.erase(words.begin(), words.begin() + 2);
    }
    if (words.size() < 4) return usage();
    char* end = nullptr;
    unsigned long long seed = std::strtoull(words[1].c_str(), &end, 10);
    if (*end) return usage();
    unsigned long people = std::strtoul(words[2].c_str(), &end, 10);
    if (*end || people == 0 || people > 50000000) return usage();

    NameLists lists;
    std::string problem;
    if (!readNameLists(names, &lists, &problem)) {
        std::fprintf(stderr, "make_people: %s\n", problem.c_str());
        return 1;
    }
    bool written;
    if (words[0] == "group" && words.size() == 4) {
        written = writeFile(words[3], toCsv(makeGroupList(lists, seed, static_cast<uint32_t>(people))));
    } else if (words[0] == "link" && words.size() == 5) {
        std::vector<PersonRecord> a, b;
        makeLinkLists(lists, seed, static_cast<uint32_t>(people), &a, &b);
        written = writeFile(words[3], toCsv(a)) && writeFile(words[4], toCsv(b));
    } else {
        return usage();
    }
    if (!written) {
        std::fprintf(stderr, "make_people: cannot write the output\n");
        return 1;
    }
    return 0;
}
