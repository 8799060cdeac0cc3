// The large arrays' allocator: blocks on either side of the huge page
// size hold what was written, through growth across it and release. And
// their sort by key: the order of a stable comparison sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <random>

#include "../../records/large_vector.h"
#include "../../records/radix_sort.h"

namespace {

TEST(LargeVector, KeepsItsContentsAcrossSizes) {
    LargeVector<uint64_t> values;
    // From a few bytes to 24 MiB, one element at a time: every growth
    // moves the contents to a new block, small or mapped.
    for (uint64_t i = 0; i < (3u << 20); ++i) values.push_back(i * 2654435761u);
    for (uint64_t i = 0; i < values.size(); ++i) ASSERT_EQ(values[i], i * 2654435761u) << i;
    LargeVector<uint64_t> copy(values);
    values.clear();
    values.shrink_to_fit();
    EXPECT_EQ(copy.back(), ((uint64_t{3} << 20) - 1) * 2654435761u);
    EXPECT_THROW(allocateLarge(SIZE_MAX - 1), std::bad_alloc);
}

TEST(SortByKey, StableLikeAComparisonSort) {
    std::mt19937_64 random(3);
    // Keys that differ anywhere, only in their top bits (the lower passes
    // all alike and skipped), or in a few values with many repeats.
    const uint64_t masks[] = {~uint64_t{0}, uint64_t{0xFFF} << 52, 0x7};
    for (uint64_t mask : masks)
        for (size_t n : {0, 1, 2, 1000, 50000}) {
            LargeVector<std::pair<uint64_t, uint32_t>> items;
            for (size_t i = 0; i < n; ++i) items.push_back({(random() & mask) | (mask == 0x7 ? 1ull << 63 : 0), i});
            auto expected = items;
            std::stable_sort(expected.begin(), expected.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            sortByKey(&items);
            EXPECT_EQ(items, expected) << "mask " << mask << ", " << n << " items";
        }
}

}  // namespace
