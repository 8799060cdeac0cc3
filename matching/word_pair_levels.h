// The levels of word pairs asked already, so that each pair of different
// words costs the library's calls once. Open addressing over two plain
// arrays (the pair's word numbers as one key, its level beside it): a
// node-based map of the millions of pairs that a list of a million
// records asks spends more on its memory and cache misses than the calls
// it saves: group --with dob of 106,772 generated records (make_people
// group 1 55000), Release, took 8.7 s and 313 MB with std::unordered_map,
// 5.2 s and 276 MB with this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Word numbers below this: each entry holds two of them and a level.
const uint32_t kMostWords = 1u << 30;

class WordPairLevels {
public:
    // The level stored for the words `a` and `b` (in either order); false
    // when none is.
    bool find(uint32_t a, uint32_t b, uint8_t* level) const;
    // Stores the level of a pair of two different words not stored yet.
    void add(uint32_t a, uint32_t b, uint8_t level);
    size_t size() const { return used_; }

private:
    static uint64_t keyOf(uint32_t a, uint32_t b);  // the entry with level 0
    size_t slotOf(uint64_t key) const;
    void grow();

    // Each entry the pair's word numbers and its level in one word (the
    // lower number in bits 34 to 63, the higher in bits 4 to 33, the level
    // in bits 0 to 3), so that a look-up touches one place in memory;
    // kEmpty where free. A power of two long.
    std::vector<uint64_t> entries_;
    size_t used_ = 0;
};
