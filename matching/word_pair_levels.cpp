#include "word_pair_levels.h"

#include <cassert>

namespace {

// No pair has it: its two words would be one.
const uint64_t kEmpty = UINT64_MAX;
const uint64_t kLevelBits = 0xF;

}  // namespace

uint64_t WordPairLevels::keyOf(uint32_t a, uint32_t b) {
    // A million records hold a few million words.
    assert(a < kMostWords && b < kMostWords);
    const uint64_t low = a < b ? a : b, high = a < b ? b : a;
    return low << 34 | high << 4;
}

// The first slot to look at: the key's bits mixed (splitmix64's finish),
// as word numbers come in runs that would crowd one end of the table.
size_t WordPairLevels::slotOf(uint64_t key) const {
    key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9ull;
    key = (key ^ (key >> 27)) * 0x94D049BB133111EBull;
    return static_cast<size_t>(key ^ (key >> 31)) & (entries_.size() - 1);
}

bool WordPairLevels::find(uint32_t a, uint32_t b, uint8_t* level) const {
    if (entries_.empty()) return false;
    const uint64_t key = keyOf(a, b);
    for (size_t slot = slotOf(key);; slot = (slot + 1) & (entries_.size() - 1)) {
        const uint64_t entry = entries_[slot];
        if (entry == kEmpty) return false;
        if ((entry & ~kLevelBits) == key) {
            *level = static_cast<uint8_t>(entry & kLevelBits);
            return true;
        }
    }
}

void WordPairLevels::add(uint32_t a, uint32_t b, uint8_t level) {
    // At most half full, so that a search meets a free slot soon.
    if (2 * (used_ + 1) > entries_.size()) grow();
    const uint64_t key = keyOf(a, b);
    size_t slot = slotOf(key);
    while (entries_[slot] != kEmpty) slot = (slot + 1) & (entries_.size() - 1);
    entries_[slot] = key | (level & kLevelBits);
    ++used_;
}

void WordPairLevels::grow() {
    std::vector<uint64_t> old(entries_.empty() ? 1024 : 2 * entries_.size(), kEmpty);
    // The new, empty array in place; the old one to move from.
    entries_.swap(old);
    for (uint64_t entry : old) {
        if (entry == kEmpty) continue;
        size_t slot = slotOf(entry & ~kLevelBits);
        while (entries_[slot] != kEmpty) slot = (slot + 1) & (entries_.size() - 1);
        entries_[slot] = entry;
    }
}
