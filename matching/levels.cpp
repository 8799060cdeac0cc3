#include "levels.h"

#include <algorithm>

const char* levelName(Level level) {
    switch (level) {
    case DIFFERENT: return "different";
    case SOME: return "some";
    case CLOSE: return "close";
    case ALIKE: return "alike";
    case EXACT: return "exact";
    case MISSING: return "missing";
    }
    return "";
}

Level wordLevel(const WordAnswers& a) {
    // The share of the longer's letters that differ, in whole numbers:
    // distance / longer <= t / 10 as 10 distance <= t longer (nothing
    // differs of no letters: all of them).
    const int64_t longer = static_cast<int64_t>(a.lengthA > a.lengthB ? a.lengthA : a.lengthB);
    const int64_t differ = longer > 0 ? a.distance : 1, of = longer > 0 ? longer : 1;
    for (const WordLevelRule& rule : kWordLevelRules) {
        const bool near = 10 * differ <= rule.tenths * of;
        const bool nearWithCode =
            a.codesAgree && (rule.tenthsWithCode == kAnyDistance || 10 * differ <= rule.tenthsWithCode * of);
        if (near || nearWithCode || a.guthPercent >= rule.guthPercent || (rule.transposed && a.transposed))
            return rule.level;
    }
    return DIFFERENT;
}

uint64_t letterProfile(const char* word, size_t size) {
    if (size == 0 || size > 255) return 0;
    uint64_t profile = 0;
    for (size_t i = 0; i < size; ++i) {
        unsigned letter = static_cast<unsigned char>(word[i]) - 'A';
        if (letter >= 26) return 0;
        const uint64_t once = 1ull << (2 * letter);
        profile |= profile & once ? once << 1 : once;
    }
    return profile | static_cast<uint64_t>(size) << kProfileLengthShift;
}

namespace {

// The most letter pairs Guth's walk can find in two words of nonzero
// profiles, at most the shorter's length: the second's letters that the
// first lacks can pair with nothing (counted up to two each).
int pairsAtMost(uint64_t first, uint64_t second) {
    const uint64_t kOnce = 0x5555555555555ull;  // the lower bit of each letter
    const uint64_t heldByFirst = (first & kOnce) * 3;
    const int lengthA = static_cast<int>(profileLength(first)), lengthB = static_cast<int>(profileLength(second));
    const int pairable = lengthB - bitCount(second & kProfileLetters & ~heldByFirst);
    const int shorter = lengthA < lengthB ? lengthA : lengthB;
    return pairable < shorter ? pairable : shorter;
}

}  // namespace

int guthPercentAtMost(uint64_t first, uint64_t second) {
    if (first == 0 || second == 0) return 100;
    return pairsAtMost(first, second) * 200 / static_cast<int>(profileLength(first) + profileLength(second));
}

Level wordLevelAtMost(uint64_t first, uint64_t second, bool codesAgree) {
    if (first == 0 || second == 0) return CLOSE;
    // Counted up to two a letter: a third R or N in one word is not seen,
    // which only lowers the distance found.
    WordAnswers most;
    most.lengthA = profileLength(first);
    most.lengthB = profileLength(second);
    most.distance = distanceAtLeast(first & kProfileLetters, most.lengthA, second & kProfileLetters, most.lengthB);
    // The highest percentage a rule asks for that the pairs can reach.
    // (The percentage's floor reaches a whole number exactly when the
    // fraction does: it is tested without dividing.)
    const int pairs = pairsAtMost(first, second), both = static_cast<int>(most.lengthA + most.lengthB);
    most.guthPercent = 0;
    for (const WordLevelRule& rule : kWordLevelRules)
        if (most.guthPercent == 0 && 200 * pairs >= rule.guthPercent * both) most.guthPercent = rule.guthPercent;
    most.codesAgree = codesAgree;
    // The level falls as the distance grows and rises with the percentage:
    // the fewest edits and the most pairs give the highest.
    return wordLevel(most);
}

bool oneTransposition(const char* a, size_t aSize, const char* b, size_t bSize) {
    if (aSize != bSize) return false;
    size_t i = 0;
    while (i < aSize && a[i] == b[i]) ++i;
    if (i + 1 >= aSize || a[i] != b[i + 1] || a[i + 1] != b[i] || a[i] == a[i + 1]) return false;
    for (i += 2; i < aSize; ++i)
        if (a[i] != b[i]) return false;
    return true;
}
