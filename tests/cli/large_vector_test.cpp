// The large arrays' allocator: blocks on either side of the huge page
// size hold what was written, through growth across it and release.
#include <gtest/gtest.h>

#include <cstdint>
#include <new>

#include "../../records/large_vector.h"

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

}  // namespace
