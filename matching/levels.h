// How well two values agree, on one scale for every comparison of a pair:
// the given names, the surnames and each --with field.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Each kind of field reads the levels in its own way (valueLevel);
// the names as noted.
enum Level : uint8_t {
    DIFFERENT = 0,
    SOME = 1,   // names: a shared code, half the letters, or an initial; dates: the same year and month
    CLOSE = 2,  // names: an edit or two; dates: a digit changed or two neighbours swapped; numbers: one apart
    ALIKE = 3,  // given names: one a nickname of the other, or both of one name; dates: day and month swapped
    EXACT = 4,
    MISSING = 5,  // either value is empty: counts neither for nor against
};
const int kLevels = 5;  // the levels that carry a weight

const char* levelName(Level level);

// What the library answered about two different words.
struct WordAnswers {
    int32_t distance = 0;      // ovLevenshtein
    int32_t guthPercent = 0;   // ovGuthMatch mode 2
    bool codesAgree = false;   // a Double Metaphone code of one is a code of the other
    bool transposed = false;   // the same letters with two neighbours swapped (TOMSAZ, TOMASZ)
    size_t lengthA = 0, lengthB = 0;
};

// What two different words must show to reach a level; the highest row
// they meet gives it, DIFFERENT when none. Both a pair's level
// (wordLevel) and the most it can reach (wordLevelAtMost) read these rows.
struct WordLevelRule {
    Level level;
    int tenths;          // a distance of at most these tenths of the longer word's letters
    int tenthsWithCode;  // the same when they share a code (kAnyDistance: a shared code is enough)
    int guthPercent;     // or ovGuthMatch's percentage at least this
    bool transposed;     // or one swap of neighbouring letters, the typing slip the distance counts twice
};
const int kAnyDistance = -1;
// CLOSE within a fifth of the letters, 80 percent, a shared code within
// two fifths, or a swap; SOME within half, 60 percent, or a shared code.
const WordLevelRule kWordLevelRules[] = {
    {CLOSE, 2, 4, 80, true},
    {SOME, 5, kAnyDistance, 60, false},
};

// The level of two different words by the rules above.
Level wordLevel(const WordAnswers& answers);

// A word's letters in one number, for wordLevelAtMost: per letter A to Z
// two bits, the lower set when the word holds it, the upper when it holds
// it twice or more, and the length from bit 52. 0 for a word that is empty,
// longer than 255 bytes or holds anything but A to Z: the library would
// change it before comparing, so its letters tell nothing.
uint64_t letterProfile(const char* word, size_t size);
const int kProfileLengthShift = 52;
const uint64_t kProfileLetters = (1ull << kProfileLengthShift) - 1;
// The length a profile holds (0 for a profile of 0).
inline size_t profileLength(uint64_t profile) { return static_cast<size_t>(profile >> kProfileLengthShift); }

// The bits set in `v`. (Portable: without the processor's own
// instruction, the compiler's builtin is a library call.)
inline int bitCount(uint64_t v) {
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    return static_cast<int>((((v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full) * 0x0101010101010101ull) >> 56);
}

// The least Levenshtein distance two words can have, from a bit per letter
// each holds (or per letter held twice, as a profile has) and their
// lengths: at least the difference of the lengths, and at least the
// letters that one holds and the other lacks.
inline int distanceAtLeast(uint64_t aLetters, size_t aLength, uint64_t bLetters, size_t bLength) {
    const int lengths = static_cast<int>(aLength > bLength ? aLength - bLength : bLength - aLength);
    const int onlyA = bitCount(aLetters & ~bLetters), onlyB = bitCount(bLetters & ~aLetters);
    return std::max({lengths, onlyA, onlyB});
}

// The highest level two different words can reach, from their profiles
// alone (CLOSE, which says nothing, when either is 0). The distance is at
// least the letters one holds and the other lacks; Guth's walk pairs each
// letter of the second word (`second`: the library's second name) at most
// once, and only with a letter that the first holds. `codesAgree` as in
// WordAnswers (true when not known); a swap of neighbours cannot lift a
// pair above what this finds, since swapped letters are the same letters.
Level wordLevelAtMost(uint64_t first, uint64_t second, bool codesAgree);

// The highest percentage ovGuthMatch can give two different words, from
// their profiles (100 when either is 0): a letter of the second pairs at
// most once, and only with a letter the first holds.
int guthPercentAtMost(uint64_t first, uint64_t second);

// Whether two words differ only by one swap of neighbouring letters.
bool oneTransposition(const char* a, size_t aSize, const char* b, size_t bSize);

// One edit apart: a character changed, added or dropped, or two
// neighbours swapped.
bool oneEditApart(std::string_view a, std::string_view b);
