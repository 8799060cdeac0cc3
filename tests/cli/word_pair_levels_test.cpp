// The table of word pair levels against a std::map doing the same work: a
// level it finds is the one stored, and the pairs stored lately are found.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <utility>

#include "../../matching/word_pair_levels.h"

namespace {

TEST(WordPairLevels, FindsWhatWasStoredLately) {
    // Pairs from a few hundred words, more than the table holds, so that
    // pairs are pushed out; word numbers near the ends of the range too.
    WordPairLevels table;
    table.reserveFor(0);  // the smallest table: 8,192 entries
    std::map<std::pair<uint32_t, uint32_t>, uint8_t> reference;
    uint64_t state = 7;
    auto next = [&state]() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    };
    auto word = [&](uint32_t r) { return r % 3 == 0 ? kMostWords - 1 - r % 200 : r % 200; };
    uint32_t found = 0, lastA = 0, lastB = 0;
    for (int i = 0; i < 200000; ++i) {
        uint32_t a = word(next()), b = word(next());
        if (a == b) continue;
        std::pair<uint32_t, uint32_t> key(a < b ? a : b, a < b ? b : a);
        uint8_t level = 0;
        auto known = reference.find(key);
        if (table.find(b, a, &level)) {  // either order finds it
            ASSERT_NE(known, reference.end()) << a << " " << b;
            ASSERT_EQ(level, known->second) << a << " " << b;
            ++found;
            continue;
        }
        uint8_t l = known != reference.end() ? known->second : static_cast<uint8_t>(next() % 4);
        table.add(a, b, l);
        reference[key] = l;
        lastA = a, lastB = b;
    }
    EXPECT_GT(reference.size(), 4 * 8192u);  // far more pairs than entries
    EXPECT_GT(found, 1000u);
    uint8_t level = 9;
    EXPECT_TRUE(table.find(lastA, lastB, &level));
    EXPECT_EQ(level, (reference[{std::min(lastA, lastB), std::max(lastA, lastB)}]));
    EXPECT_FALSE(WordPairLevels().find(1, 2, &level));
}

}  // namespace
