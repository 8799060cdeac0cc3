#include "levels.h"

#include <algorithm>

const char* levelName(Level level) {
    switch (level) {
    case DIFFERENT: return "different";
    case SOME: return "some";
    case CLOSE: return "close";
    case EXACT: return "exact";
    case MISSING: return "missing";
    }
    return "";
}

Level wordLevel(const WordAnswers& a) {
    // The share of the longer's letters that differ, in whole numbers:
    // distance / longer <= 1/5 as 5 distance <= longer (nothing differs
    // of no letters: all of them).
    const int64_t longer = static_cast<int64_t>(a.lengthA > a.lengthB ? a.lengthA : a.lengthB);
    const int64_t differ = longer > 0 ? a.distance : 1, of = longer > 0 ? longer : 1;
    if (5 * differ <= of || a.guthPercent >= 80 || (a.codesAgree && 5 * differ <= 2 * of) || a.transposed) return CLOSE;
    if (a.codesAgree || 2 * differ <= of || a.guthPercent >= 60) return SOME;
    return DIFFERENT;
}

namespace {

// (Portable: without the processor's own instruction, the compiler's
// builtin is a library call.)
int bitCount(uint64_t v) {
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    return static_cast<int>((((v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full) * 0x0101010101010101ull) >> 56);
}

}  // namespace

uint64_t letterProfile(const char* word, size_t size) {
    if (size == 0 || size > 255) return 0;
    uint64_t profile = 0;
    for (size_t i = 0; i < size; ++i) {
        unsigned letter = static_cast<unsigned char>(word[i]) - 'A';
        if (letter >= 26) return 0;
        const uint64_t once = 1ull << (2 * letter);
        profile |= profile & once ? once << 1 : once;
    }
    return profile | static_cast<uint64_t>(size) << 52;
}

namespace {

// The most letter pairs Guth's walk can find in two words of nonzero
// profiles, at most the shorter's length: the second's letters that the
// first lacks can pair with nothing (counted up to two each).
int pairsAtMost(uint64_t first, uint64_t second) {
    const uint64_t kLetters = (1ull << 52) - 1, kOnce = 0x5555555555555ull;
    const uint64_t heldByFirst = (first & kOnce) * 3;
    const int lengthA = static_cast<int>(first >> 52), lengthB = static_cast<int>(second >> 52);
    const int pairable = lengthB - bitCount(second & kLetters & ~heldByFirst);
    const int shorter = lengthA < lengthB ? lengthA : lengthB;
    return pairable < shorter ? pairable : shorter;
}

}  // namespace

int guthPercentAtMost(uint64_t first, uint64_t second) {
    if (first == 0 || second == 0) return 100;
    return pairsAtMost(first, second) * 200 / static_cast<int>((first >> 52) + (second >> 52));
}

Level wordLevelAtMost(uint64_t first, uint64_t second, bool codesAgree) {
    if (first == 0 || second == 0) return CLOSE;
    const uint64_t kLetters = (1ull << 52) - 1;
    const uint64_t a = first & kLetters, b = second & kLetters;
    // Counted up to two a letter: a third R or N in one word is not seen,
    // which only lowers the distance found.
    const int onlyFirst = bitCount(a & ~b), onlySecond = bitCount(b & ~a);
    WordAnswers most;
    most.lengthA = first >> 52;
    most.lengthB = second >> 52;
    const int lengths = static_cast<int>(most.lengthA > most.lengthB ? most.lengthA - most.lengthB
                                                                     : most.lengthB - most.lengthA);
    most.distance = std::max({onlyFirst, onlySecond, lengths});
    // (The percentage's floor reaches a whole number exactly when the
    // fraction does: 60 and 80 percent are tested without dividing.)
    const int pairs = pairsAtMost(first, second), both = static_cast<int>(most.lengthA + most.lengthB);
    most.guthPercent = 200 * pairs >= 80 * both ? 80 : 200 * pairs >= 60 * both ? 60 : 0;
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

std::string plainValue(const char* text, size_t size) {
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') out += static_cast<char>(c - 32);
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || static_cast<unsigned char>(c) >= 0x80) out += c;
    }
    return out;
}

namespace {

bool swappedAt(std::string_view a, std::string_view b, size_t first, size_t second) {
    for (size_t i = 0; i < a.size(); ++i) {
        size_t j = i;
        if (i >= first && i < first + 2) j = second + (i - first);
        else if (i >= second && i < second + 2) j = first + (i - second);
        if (a[i] != b[j]) return false;
    }
    return true;
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

Level valueLevel(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return MISSING;
    if (a.size() != b.size()) return DIFFERENT;
    int differ = 0;
    for (size_t i = 0; i < a.size(); ++i) differ += a[i] != b[i];
    if (differ == 0) return EXACT;
    if (differ == 1) return CLOSE;
    // A swap of day and month changes four characters at most.
    if (differ > 4) return DIFFERENT;
    // YYYYMMDD or DDMMYYYY with day and month swapped.
    if (a.size() == 8 && allDigits(a) && allDigits(b) && (swappedAt(a, b, 4, 6) || swappedAt(a, b, 0, 2)))
        return CLOSE;
    return DIFFERENT;
}
