// Writes one fuzz input per line of the table of cases, plus the discovery
// queries, into a folder: the seeds of the fuzzer's corpus.
//   fuzz_seeds OUTPUT_FOLDER CASEFILE...
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "../../extender/exports.h"
#include "../support/case_table.h"
#include "fuzz_input.h"

static void write(const std::string& folder, const std::string& name, const FuzzCall& call) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    std::string bytes = encodeFuzzCall(call);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fuzz_seeds OUTPUT_FOLDER CASEFILE...\n");
        return 2;
    }
    std::string folder = argv[1];
    int written = 0;
    for (int f = 2; f < argc; ++f) {
        std::vector<std::string> errors;
        std::vector<Case> cases = readCaseFile(argv[f], WILExtender2, errors);
        for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
        for (const Case& c : cases) {
            FuzzCall call;
            call.number = c.functionNumber;
            for (const CaseValue& v : c.args) {
                FuzzArgument a;
                a.type = v.type;
                a.intValue = v.intValue;
                a.hasString = v.isString && !v.isNull;
                a.text = v.text;
                call.args.push_back(a);
            }
            std::string name = c.where;
            for (char& ch : name)
                if (ch == ':' || ch == '.') ch = '-';
            write(folder, name, call);
            ++written;
        }
    }
    const int32_t numbers[] = {-3, -2, -1};
    for (int32_t number : numbers) {
        FuzzCall call;
        call.number = number;
        write(folder, "discovery" + std::to_string(number), call);
        ++written;
    }
    for (int32_t code = 0; code <= 3; ++code) {
        FuzzCall query;
        query.isQuery = true;
        query.number = code;
        query.queryLength = 10;
        query.levels = {1, 2, 3};
        write(folder, "query" + std::to_string(code), query);
        ++written;
    }
    std::printf("fuzz_seeds: %d seeds in %s\n", written, folder.c_str());
    return 0;
}
