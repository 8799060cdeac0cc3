// A stable sort of (key, value) pairs by key, for the millions of keys of
// a large list: a few passes of counting over 11 bits of the key at a time
// (those in which every key has the same bits are skipped), where a
// comparison sort takes twice as long or more.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "large_vector.h"

template <class Value>
void sortByKey(LargeVector<std::pair<uint64_t, Value>>* items) {
    const int kBits = 11, kPasses = (64 + kBits - 1) / kBits;
    const size_t kBuckets = size_t{1} << kBits, n = items->size();
    if (n < 2) return;
    // Every pass's counts in one reading.
    std::vector<size_t> counts(kPasses * kBuckets, 0);
    for (const auto& item : *items)
        for (int pass = 0; pass < kPasses; ++pass)
            ++counts[pass * kBuckets + ((item.first >> (pass * kBits)) & (kBuckets - 1))];
    LargeVector<std::pair<uint64_t, Value>> other(n);
    LargeVector<std::pair<uint64_t, Value>>* from = items;
    LargeVector<std::pair<uint64_t, Value>>* to = &other;
    for (int pass = 0; pass < kPasses; ++pass) {
        size_t* count = &counts[pass * kBuckets];
        const int shift = pass * kBits;
        if (count[((*from)[0].first >> shift) & (kBuckets - 1)] == n) continue;  // all alike here
        size_t at = 0;
        for (size_t b = 0; b < kBuckets; ++b) {
            const size_t c = count[b];
            count[b] = at;
            at += c;
        }
        for (const auto& item : *from) (*to)[count[(item.first >> shift) & (kBuckets - 1)]++] = item;
        std::swap(from, to);
    }
    if (from != items) items->swap(other);
}
