// The library answers every name of the shipped list exactly as the golden
// record says: results, arguments afterwards and heap traffic, by variant
// (see tests/golden/golden_calls.h). A mismatch names the variant, the first
// block of calls that differs and what those calls answer now; golden_tool
// dump VARIANT from this build and from an older one gives the full diff.
#include <gtest/gtest.h>

#include <map>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "../../host/name_file.h"
#include "../golden/golden_calls.h"

namespace {

// The calls of the first block that differs from the record, as they answer
// now: the call with its names, the result, the arguments afterwards and the
// heap traffic.
std::string differingCalls(const std::vector<std::string>& names, const GoldenVariant& want,
                           const GoldenVariant& got) {
    long block = firstDifferingBlock(want, got);
    if (block < 0) return "(the blocks agree; blocks.txt is older than results.txt)";
    uint64_t first = static_cast<uint64_t>(block) * GOLDEN_BLOCK_CALLS + 1;
    std::ostringstream out;
    out << "first differing block: calls " << first << " to " << first + GOLDEN_BLOCK_CALLS - 1
        << "; they now answer (the first 8):\n";
    FILE* dump = std::tmpfile();
    if (!dump) return out.str();
    computeGolden(names, dump, want.name);
    std::rewind(dump);
    char line[4096];
    for (int shown = 0; shown < 8 && std::fgets(line, sizeof line, dump);)
        if (std::strtoull(line, nullptr, 10) >= first) {
            out << line;
            ++shown;
        }
    std::fclose(dump);
    return out.str();
}

}  // namespace

TEST(Golden, EveryVariantAnswersAsRecorded) {
    std::vector<GoldenVariant> expected;
    ASSERT_TRUE(readGoldenFile(OVRIN_GOLDEN_FILE, expected)) << "cannot read " << OVRIN_GOLDEN_FILE;
    ASSERT_TRUE(readGoldenBlocks(OVRIN_GOLDEN_BLOCKS_FILE, expected)) << "cannot read " << OVRIN_GOLDEN_BLOCKS_FILE;
    ASSERT_FALSE(expected.empty());
    std::vector<std::string> names = loadNameFile(OVRIN_NAMES_FILE);
    ASSERT_GT(names.size(), 1000u) << OVRIN_NAMES_FILE;

    std::map<std::string, GoldenVariant> computed;
    for (const GoldenVariant& variant : computeGolden(names)) computed[variant.name] = variant;
    EXPECT_EQ(computed.size(), expected.size()) << "the variants differ from the record";
    for (const GoldenVariant& want : expected) {
        auto found = computed.find(want.name);
        ASSERT_NE(found, computed.end()) << "variant " << want.name << " is no longer computed";
        EXPECT_EQ(found->second.calls, want.calls) << "variant " << want.name;
        EXPECT_EQ(found->second.hash, want.hash) << "variant " << want.name << " answers differently\n"
                                                 << differingCalls(names, want, found->second);
    }
}
