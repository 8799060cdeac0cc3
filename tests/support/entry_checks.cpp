#include "entry_checks.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../../extender/function_table.h"
#include "../../resources/version.h"

namespace {

struct Checker {
    CheckCount count;
    FILE* report;
    void check(bool ok, const std::string& what) {
        if (ok) {
            ++count.passed;
        } else {
            ++count.failed;
            std::fprintf(report, "FAIL entry check: %s\n", what.c_str());
        }
    }
};

int32_t OV_STDCALL mustNotBeCalled(int32_t, uintptr_t, uintptr_t, HostValue*) {
    std::fprintf(stderr, "the callback was called for a query\n");
    return 0x7BAD;
}

struct ExpectedRow {
    int32_t id;
    const char* name;
    uint64_t paramTypes;
    int32_t paramCount;
};

// The rows as the list writes them; the library answers the names lower-cased.
const ExpectedRow kRows[] = {
#define OV_FUNCTION(number, name, ID, paramTypes, paramCount, benchIntegers) {number, #name, paramTypes, paramCount},
#include "../../extender/functions.def"
#undef OV_FUNCTION
};

std::string lowered(const char* name) {
    std::string text(name);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const int32_t kVersion = std::atoi(OV_FILE_VERSION_TEXT);

}  // namespace

CheckCount runEntryChecks(Extender2Entry entry, ExtenderQueryEntry query, FILE* report) {
    Checker c{CheckCount(), report};
    auto call = [&](int32_t number, void* args, int32_t argCount) {
        return entry(0, 0, 0, number, mustNotBeCalled, 0, 0, args, argCount, nullptr);
    };

    c.check(call(-3, nullptr, 0) == 1, "-3 answers 1");
    c.check(call(-1, nullptr, 0) == FUNCTION_COUNT, "-1 answers the number of functions");
    c.check(call(static_cast<int32_t>(0x1234FFFF), nullptr, 0) == FUNCTION_COUNT, "low 16 bits all set read as -1");

    // Every row: the fields, the lower-cased name, and not a byte past its NUL.
    for (int32_t row = 0; row < FUNCTION_COUNT; ++row) {
        const ExpectedRow& want = kRows[row];
        unsigned char raw[64];
        std::memset(raw, 0xCC, sizeof raw);
        FunctionInfo* info = reinterpret_cast<FunctionInfo*>(raw);
        std::string label = "row " + std::to_string(row);
        c.check(call(-2, info, row) == 1, label + " answers 1");
        const std::string name = lowered(want.name);
        size_t nameLength = name.size();
        c.check(info->id == want.id && info->entryKind == 2 && info->paramTypes == want.paramTypes &&
                    info->paramCount == want.paramCount,
                label + " fields");
        c.check(info->nameLength == nameLength && std::strcmp(info->name, name.c_str()) == 0, label + " name");
        c.check(raw[23 + nameLength] == 0xCC, label + " writes 23 + nameLength bytes only");
    }
    unsigned char raw[64];
    std::memset(raw, 0xCC, sizeof raw);
    c.check(call(-2, raw, FUNCTION_COUNT) == 0 && raw[0] == 0xCC, "the end row answers 0 and writes nothing");
    c.check(call(-2, nullptr, 3) == 1, "row 3 with no record answers 1");
    c.check(call(-2, raw, -1) == 0 && call(-2, raw, FUNCTION_COUNT + 1) == 0 && call(-2, raw, 0x7FFFFFFF) == 0 && raw[0] == 0xCC,
            "rows outside the table answer 0 and write nothing");

    // WILExtenderQuery.
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    c.check(query(1, buffer, 10) == kVersion, "query 1 answers the version");
    c.check(std::memcmp(buffer, "Ovrin Nam\0x", 11) == 0, "query 1 with 10 bytes copies 9 characters and a NUL");
    std::memset(buffer, 'x', sizeof buffer);
    c.check(query(1, buffer, sizeof buffer) == kVersion &&
                std::strcmp(buffer, "Ovrin Name Matching Functions Extender for WinBatch") == 0,
            "query 1 copies the description");
    std::memset(buffer, 'x', sizeof buffer);
    c.check(query(1, buffer, 0) == kVersion && query(1, buffer, -5) == kVersion && buffer[0] == 'x',
            "query 1 with no room writes nothing");
    c.check(query(1, nullptr, 10) == kVersion, "query 1 with a null buffer answers the version");
    c.check(query(0x70001, nullptr, 0) == kVersion, "query codes are read from their low 16 bits");
    int32_t levels[] = {1, 2, 3};
    int32_t one[] = {1};
    c.check(query(2, levels, 3) == 2, "query 2 finds level 2");
    c.check(query(2, one, 1) == -1, "query 2 without level 2 answers -1");
    c.check(query(2, levels, 0) == -1 && query(2, levels, -1) == -1, "query 2 of an empty array answers -1");
    c.check(query(3, nullptr, 0) == 0 && query(0, nullptr, 0) == 0, "other query codes answer 0");
    return c.count;
}
