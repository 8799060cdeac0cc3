#include "word_pair_levels.h"

#include <cassert>

namespace {

// No pair has it: its two words would be one.
const uint64_t kEmpty = UINT64_MAX;
const uint64_t kLevelBits = 0xF;
const size_t kFewestEntries = 1u << 13, kMostEntries = 1u << 20;

}  // namespace

void WordPairLevels::reserveFor(size_t records) {
    size_t size = kFewestEntries;
    while (size < kMostEntries && size < 8 * records) size *= 2;
    if (size > entries_.size()) entries_.assign(size, kEmpty);
}

uint64_t WordPairLevels::keyOf(uint32_t a, uint32_t b) {
    // A million records hold a few million words.
    assert(a < kMostWords && b < kMostWords);
    const uint64_t low = a < b ? a : b, high = a < b ? b : a;
    return low << 34 | high << 4;
}

// The bucket's first entry: the key's bits mixed (splitmix64's finish), as
// word numbers come in runs that would crowd one end of the table.
size_t WordPairLevels::bucketOf(uint64_t key) const {
    key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9ull;
    key = (key ^ (key >> 27)) * 0x94D049BB133111EBull;
    return static_cast<size_t>(key ^ (key >> 31)) & (entries_.size() - 2);
}

bool WordPairLevels::find(uint32_t a, uint32_t b, uint8_t* level) const {
    if (entries_.empty()) return false;
    const uint64_t key = keyOf(a, b);
    const size_t bucket = bucketOf(key);
    for (size_t i = bucket; i < bucket + 2; ++i)
        if ((entries_[i] & ~kLevelBits) == key) {
            *level = static_cast<uint8_t>(entries_[i] & kLevelBits);
            return true;
        }
    return false;
}

void WordPairLevels::add(uint32_t a, uint32_t b, uint8_t level) {
    if (entries_.empty()) reserveFor(0);
    const uint64_t key = keyOf(a, b);
    const size_t bucket = bucketOf(key);
    entries_[bucket + 1] = entries_[bucket];
    entries_[bucket] = key | (level & kLevelBits);
}
