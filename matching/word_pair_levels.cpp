#include "word_pair_levels.h"

namespace {

// No pair has it: its two words would be one.
const uint64_t kEmpty = UINT64_MAX;

}  // namespace

uint64_t WordPairLevels::keyOf(uint32_t a, uint32_t b) {
    return a < b ? static_cast<uint64_t>(a) << 32 | b : static_cast<uint64_t>(b) << 32 | a;
}

// The first slot to look at: the key's bits mixed (splitmix64's finish),
// as word numbers come in runs that would crowd one end of the table.
size_t WordPairLevels::slotOf(uint64_t key) const {
    key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9ull;
    key = (key ^ (key >> 27)) * 0x94D049BB133111EBull;
    return static_cast<size_t>(key ^ (key >> 31)) & (keys_.size() - 1);
}

bool WordPairLevels::find(uint32_t a, uint32_t b, uint8_t* level) const {
    if (keys_.empty()) return false;
    const uint64_t key = keyOf(a, b);
    for (size_t slot = slotOf(key);; slot = (slot + 1) & (keys_.size() - 1)) {
        if (keys_[slot] == kEmpty) return false;
        if (keys_[slot] == key) {
            *level = levels_[slot];
            return true;
        }
    }
}

void WordPairLevels::add(uint32_t a, uint32_t b, uint8_t level) {
    // At most half full, so that a search meets a free slot soon.
    if (2 * (used_ + 1) > keys_.size()) grow();
    const uint64_t key = keyOf(a, b);
    size_t slot = slotOf(key);
    while (keys_[slot] != kEmpty) slot = (slot + 1) & (keys_.size() - 1);
    keys_[slot] = key;
    levels_[slot] = level;
    ++used_;
}

void WordPairLevels::grow() {
    std::vector<uint64_t> oldKeys(keys_.empty() ? 1024 : 2 * keys_.size(), kEmpty);
    std::vector<uint8_t> oldLevels(oldKeys.size());
    // The new, empty arrays in place; the old ones to move from.
    keys_.swap(oldKeys);
    levels_.swap(oldLevels);
    for (size_t i = 0; i < oldKeys.size(); ++i) {
        if (oldKeys[i] == kEmpty) continue;
        size_t slot = slotOf(oldKeys[i]);
        while (keys_[slot] != kEmpty) slot = (slot + 1) & (keys_.size() - 1);
        keys_[slot] = oldKeys[i];
        levels_[slot] = oldLevels[i];
    }
}
