// The table of word pair levels against a std::map doing the same work.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <utility>

#include "../../matching/word_pair_levels.h"

namespace {

TEST(WordPairLevels, AgreesWithAMap) {
    // Pairs from a few hundred words, so that many repeat and the table
    // grows several times; word numbers near the ends of the range too.
    WordPairLevels table;
    std::map<std::pair<uint32_t, uint32_t>, uint8_t> reference;
    uint64_t state = 7;
    auto next = [&state]() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    };
    auto word = [&](uint32_t r) { return r % 3 == 0 ? kMostWords - 1 - r % 300 : r % 300; };
    for (int i = 0; i < 50000; ++i) {
        uint32_t a = word(next()), b = word(next());
        if (a == b) continue;
        std::pair<uint32_t, uint32_t> key(a < b ? a : b, a < b ? b : a);
        uint8_t level = 0;
        bool found = table.find(b, a, &level);  // either order finds it
        auto known = reference.find(key);
        ASSERT_EQ(found, known != reference.end()) << a << " " << b;
        if (found) {
            ASSERT_EQ(level, known->second) << a << " " << b;
            continue;
        }
        uint8_t l = static_cast<uint8_t>(next() % 4);
        table.add(a, b, l);
        reference[key] = l;
    }
    EXPECT_EQ(table.size(), reference.size());
    EXPECT_GT(reference.size(), 2000u);  // the table grew past its first size
    uint8_t level;
    EXPECT_FALSE(WordPairLevels().find(1, 2, &level));
}

}  // namespace
