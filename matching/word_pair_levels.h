// The levels of word pairs asked lately, so that a pair of different words
// met again costs a look-up, not the library's calls. A fixed table of
// two-entry buckets in one array (the pair's word numbers and its level
// in one word): a pair met anew takes its bucket's first place and pushes
// the older out, so the table keeps the pairs met often and lately in a
// bounded size, where a table of every pair asked grew to gigabytes over a
// million records, most of its pairs met once.
#pragma once

#include <cstddef>
#include <cstdint>
#include "../records/large_vector.h"

// Word numbers below this: each entry holds two of them and a level.
const uint32_t kMostWords = 1u << 30;

class WordPairLevels {
public:
    // Sizes the table for a list of `records` records, from 64 KiB to 8 MiB;
    // a later call for a larger list (link adds B after A) makes it larger,
    // forgetting what it held.
    void reserveFor(size_t records);
    // The level stored for the words `a` and `b` (in either order); false
    // when none is.
    bool find(uint32_t a, uint32_t b, uint8_t* level) const;
    // Asks the processor for the place of the pair's level, to be read soon.
    __attribute__((always_inline)) void prefetch(uint32_t a, uint32_t b) const {
        if (!entries_.empty()) __builtin_prefetch(&entries_[bucketOf(keyOf(a, b))]);
    }
    // Stores the level of a pair of two different words not stored.
    void add(uint32_t a, uint32_t b, uint8_t level);

private:
    static uint64_t keyOf(uint32_t a, uint32_t b);  // the entry with level 0
    size_t bucketOf(uint64_t key) const;

    // Each entry the pair's word numbers and its level in one word (the
    // lower number in bits 34 to 63, the higher in bits 4 to 33, the level
    // in bits 0 to 3); kEmpty where free. Buckets of two, a power of two
    // of them.
    LargeVector<uint64_t> entries_;
};
