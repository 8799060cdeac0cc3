// Candidate pairs: the records that meet under a key, and what their
// comparison gives.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "model.h"
#include "../records/large_vector.h"

struct Candidate {
    uint32_t x, y;        // records, x < y (in link: x of A, y of B after A's)
    Pattern pattern = 0;  // the levels of given, surname, then each --with field
    bool crosswise = false;  // x's given name was compared with y's surname and the other way round
    // Per name comparison: agreeing exactly, how many records hold the word
    // it agreed on (the rarest, where several agreed); agreeing closely,
    // how many hold a word of the code of the two words (the more common
    // code); 0 otherwise.
    uint32_t holders[kNameComparisons] = {0, 0};
    // Per --with field agreed on exactly, in eighths of a bit: what the
    // value's own share of the records adds to the level's weight
    // (FsModel::valueRarity); 0 otherwise.
    int8_t rarity[kMaxComparisons - kNameComparisons] = {};
    static int8_t eighths(double bits) {
        const double scaled = std::round(bits * 8);
        return static_cast<int8_t>(scaled > 127 ? 127 : scaled < -127 ? -127 : scaled);
    }
    double rarityOf(int field) const { return rarity[field] / 8.0; }
};

// A pair's weight, its exact names and values weighed by how rare they are.
inline double pairWeight(const FsModel& model, const Candidate& pair) {
    double w = model.weight(pair.pattern, pair.holders);
    for (int f = 0; f + kNameComparisons < model.comparisons; ++f)
        if (levelAt(pair.pattern, kNameComparisons + f) == EXACT) w += pair.rarityOf(f);
    return w;
}

// How candidates are found: every word's first code, the codes of a given
// name and a surname together, and every --with value with the first
// letter of each name word, is a key; the records of a key meet in pairs,
// but a key held by more than `blockLimit` records pairs each record only
// with the `window` records next to it in the order of their names, and in
// that order read backwards, so that thousands of Smiths cost a few pairs
// each, not a square. The first two letters of a given name and a surname
// together are a key read that way whatever its size.
struct CandidateBounds {
    size_t blockLimit = 50;
    size_t window = 2;
};

// The candidate pairs by their first record: record x's partners are
// partners[start[x]] to partners[start[x + 1]] (exclusive), ascending, each
// above x.
struct CandidatePairs {
    LargeVector<uint64_t> start;
    LargeVector<uint32_t> partners;
    uint64_t count() const { return partners.size(); }
};
