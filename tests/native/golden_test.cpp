// The library answers every name of the shipped list exactly as the golden
// record says: results, arguments afterwards and heap traffic, by variant
// (see tests/golden/golden_calls.h). A mismatch names the variant; dump it
// with golden_tool from this build and from an older one, and diff.
#include <gtest/gtest.h>

#include <map>

#include "../../host/name_file.h"
#include "../golden/golden_calls.h"

TEST(Golden, EveryVariantAnswersAsRecorded) {
    std::vector<GoldenVariant> expected;
    ASSERT_TRUE(readGoldenFile(OVRIN_GOLDEN_FILE, expected)) << "cannot read " << OVRIN_GOLDEN_FILE;
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
        EXPECT_EQ(found->second.hash, want.hash) << "variant " << want.name << " answers differently";
    }
}
