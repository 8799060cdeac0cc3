// Pairwise counts against a truth column: groups and links of a few
// records whose pairs can be counted by hand.
#include <gtest/gtest.h>

#include <vector>

#include "../../matching/pair_counts.h"

namespace {

const uint32_t X = kNoTruth;

struct GroupCase {
    const char* what;
    std::vector<uint32_t> groups, truths;
    uint64_t found, correct, truth;
};

TEST(PairCounts, Groups) {
    const GroupCase cases[] = {
        // Group 1 joins two of person 1 and one of person 2; group 2 is
        // person 3 whole; person 2's other record stands alone.
        {"mixed", {1, 1, 1, 0, 2, 2}, {1, 1, 2, 2, 3, 3}, 3 + 1, 1 + 1, 1 + 1 + 1},
        {"all alone", {0, 0, 0}, {1, 1, 1}, 0, 0, 3},
        // Records of unknown truth make no true pair, even with each other.
        {"unknown truth", {1, 1, 1}, {X, X, 4}, 3, 0, 0},
        // Group and truth numbers need not be in any order or dense.
        {"large numbers", {7, 3, 7, 3}, {90, 12, 90, 11}, 2, 1, 1},
    };
    for (const GroupCase& c : cases) {
        PairCounts counts = countGroupPairs(c.groups, c.truths);
        EXPECT_EQ(counts.found, c.found) << c.what;
        EXPECT_EQ(counts.correct, c.correct) << c.what;
        EXPECT_EQ(counts.truth, c.truth) << c.what;
    }
}

TEST(PairCounts, Links) {
    // Person 1 once in each list, person 2 twice in each (four true
    // pairs), a record of unknown truth in each.
    std::vector<uint32_t> a = {1, 2, 2, X}, b = {2, 1, 2, X};
    PairCounts counts = countLinkPairs(a, b, {{0, 1}, {1, 0}, {1, 2}, {3, 3}, {0, 0}});
    EXPECT_EQ(counts.found, 5u);
    EXPECT_EQ(counts.correct, 3u);
    EXPECT_EQ(counts.truth, 5u);
    EXPECT_DOUBLE_EQ(counts.precision(), 3.0 / 5);
    EXPECT_DOUBLE_EQ(counts.recall(), 3.0 / 5);
}

TEST(PairCounts, Ratios) {
    PairCounts none;  // nothing to find, nothing found
    EXPECT_EQ(none.precision(), 1.0);
    EXPECT_EQ(none.recall(), 1.0);
    PairCounts missed;
    missed.truth = 4;
    EXPECT_EQ(missed.recall(), 0.0);
    EXPECT_EQ(missed.f1(), 0.0);
    PairCounts half;
    half.found = 4, half.correct = 2, half.truth = 2;
    EXPECT_DOUBLE_EQ(half.f1(), 2 * 0.5 * 1.0 / 1.5);
}

}  // namespace
