#include "entry_checks.h"

#include <cstring>
#include <string>

#include "../../extender/function_table.h"

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

const ExpectedRow kRows[] = {
    {10, "ovextenderinfo", 0x0, 1},  {51, "ovsoundex", 0x1, 2},     {52, "ovmetaphone", 0x1, 2},
    {53, "ovphonex", 0x1, 1},        {54, "ovguthmatch", 0x11, 3},  {55, "ovlevenshtein", 0x11, 2},
    {56, "ovdoublemetaphone", 0x1, 2}, {61, "ovisabbrev", 0x11, 3}, {62, "ovisconsonant", 0x1, 2},
    {63, "ovisvowel", 0x1, 3},
};

}  // namespace

CheckCount runEntryChecks(Extender2Entry entry, ExtenderQueryEntry query, FILE* report) {
    Checker c{CheckCount(), report};
    auto call = [&](int32_t number, void* args, int32_t argCount) {
        return entry(0, 0, 0, number, mustNotBeCalled, 0, 0, args, argCount, nullptr);
    };

    c.check(call(-3, nullptr, 0) == 1, "-3 answers 1");
    c.check(call(-1, nullptr, 0) == 10, "-1 answers 10");
    c.check(call(static_cast<int32_t>(0x1234FFFF), nullptr, 0) == 10, "low 16 bits all set read as -1");

    // Every row: the fields, the lower-cased name, and not a byte past its NUL.
    for (int32_t row = 0; row < 10; ++row) {
        const ExpectedRow& want = kRows[row];
        unsigned char raw[64];
        std::memset(raw, 0xCC, sizeof raw);
        FunctionInfo* info = reinterpret_cast<FunctionInfo*>(raw);
        std::string label = "row " + std::to_string(row);
        c.check(call(-2, info, row) == 1, label + " answers 1");
        size_t nameLength = std::strlen(want.name);
        c.check(info->id == want.id && info->entryKind == 2 && info->paramTypes == want.paramTypes &&
                    info->paramCount == want.paramCount,
                label + " fields");
        c.check(info->nameLength == nameLength && std::strcmp(info->name, want.name) == 0, label + " name");
        c.check(raw[23 + nameLength] == 0xCC, label + " writes 23 + nameLength bytes only");
    }
    unsigned char raw[64];
    std::memset(raw, 0xCC, sizeof raw);
    c.check(call(-2, raw, 10) == 0 && raw[0] == 0xCC, "row 10 (end) answers 0 and writes nothing");
    c.check(call(-2, nullptr, 3) == 1, "row 3 with no record answers 1");
    c.check(call(-2, raw, -1) == 0 && call(-2, raw, 11) == 0 && call(-2, raw, 0x7FFFFFFF) == 0 && raw[0] == 0xCC,
            "rows outside 0..10 answer 0 and write nothing");

    // WILExtenderQuery.
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    c.check(query(1, buffer, 10) == 34002, "query 1 answers the version");
    c.check(std::memcmp(buffer, "Ovrin Nam\0x", 11) == 0, "query 1 with 10 bytes copies 9 characters and a NUL");
    std::memset(buffer, 'x', sizeof buffer);
    c.check(query(1, buffer, sizeof buffer) == 34002 &&
                std::strcmp(buffer, "Ovrin Name Matching Functions Extender for WinBatch") == 0,
            "query 1 copies the description");
    std::memset(buffer, 'x', sizeof buffer);
    c.check(query(1, buffer, 0) == 34002 && query(1, buffer, -5) == 34002 && buffer[0] == 'x',
            "query 1 with no room writes nothing");
    c.check(query(1, nullptr, 10) == 34002, "query 1 with a null buffer answers the version");
    c.check(query(0x70001, nullptr, 0) == 34002, "query codes are read from their low 16 bits");
    int32_t levels[] = {1, 2, 3};
    int32_t one[] = {1};
    c.check(query(2, levels, 3) == 2, "query 2 finds level 2");
    c.check(query(2, one, 1) == -1, "query 2 without level 2 answers -1");
    c.check(query(2, levels, 0) == -1 && query(2, levels, -1) == -1, "query 2 of an empty array answers -1");
    c.check(query(3, nullptr, 0) == 0 && query(0, nullptr, 0) == 0, "other query codes answer 0");
    return c.count;
}
