// make_people: writes synthetic people with labelled duplicates as CSV.
//   make_people group SEED PEOPLE OUT.csv
//   make_people link SEED PEOPLE A.csv B.csv
//   make_people [--mix NAME] export SEED RECORDS OUT.csv
//   make_people [--mix NAME] scripts SEED PEOPLE A.csv B.csv
// The column truth holds each record's person; errors names what spoiled
// a copy. The name lists come from tests/quality/names unless --names DIR
// says otherwise, the nicknames of export from data/nicknames/names.csv
// unless --nicknames FILE does. A mix (export and scripts) sets how much of
// each trouble the records hold: default, heavy-typo, many-copies,
// many-namesakes, sparse.
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
    std::string mixes;
    for (const Mix& m : allMixes()) mixes += (mixes.empty() ? "" : ", ") + m.name;
    std::fprintf(stderr,
                 "usage: make_people [--names DIR] group SEED PEOPLE OUT.csv\n"
                 "       make_people [--names DIR] link SEED PEOPLE A.csv B.csv\n"
                 "       make_people [--names DIR] [--nicknames FILE] [--mix NAME] export SEED RECORDS OUT.csv\n"
                 "       make_people [--names DIR] [--mix NAME] scripts SEED PEOPLE A.csv B.csv\n"
                 "mixes: %s\n",
                 mixes.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    std::string names = OVRIN_PEOPLE_NAMES, nicknames = OVRIN_NICKNAMES;
    std::string mixName;
    while (words.size() >= 2 && (words[0] == "--names" || words[0] == "--nicknames" || words[0] == "--mix")) {
        (words[0] == "--names" ? names : words[0] == "--nicknames" ? nicknames : mixName) = words[1];
        words.erase(words.begin(), words.begin() + 2);
    }
    if (words.size() < 4) return usage();
    char* end = nullptr;
    unsigned long long seed = std::strtoull(words[1].c_str(), &end, 10);
    if (*end) return usage();
    unsigned long count = std::strtoul(words[2].c_str(), &end, 10);
    if (*end || count == 0 || count > 50000000) return usage();
    const std::string& mode = words[0];
    bool exportMode = mode == "export" || mode == "scripts";
    Mix mix;
    if (!mixNamed(mixName.empty() ? "default" : mixName, &mix)) {
        std::fprintf(stderr, "make_people: no mix \"%s\"\n", mixName.c_str());
        return usage();
    }
    // group and link have one mix: the figures measured on them stay comparable.
    if (!exportMode && !mixName.empty()) return usage();

    std::string problem;
    NameLists lists;
    ExportLists exportLists;
    if (!(exportMode ? readExportLists(names, nicknames, &exportLists, &problem) : readNameLists(names, &lists, &problem))) {
        std::fprintf(stderr, "make_people: %s\n", problem.c_str());
        return 1;
    }
    uint32_t n = static_cast<uint32_t>(count);
    bool written;
    if (mode == "group" && words.size() == 4) {
        written = writeFile(words[3], toCsv(makeGroupList(lists, seed, n)));
    } else if (mode == "link" && words.size() == 5) {
        std::vector<PersonRecord> a, b;
        makeLinkLists(lists, seed, n, &a, &b);
        written = writeFile(words[3], toCsv(a)) && writeFile(words[4], toCsv(b));
    } else if (mode == "export" && words.size() == 4) {
        written = writeFile(words[3], toExportCsv(makeExport(exportLists, seed, n, mix).records));
    } else if (mode == "scripts" && words.size() == 5) {
        std::vector<PersonRecord> a, b;
        makeScriptLists(exportLists, seed, n, mix, &a, &b);
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
