// How well two values agree, on one scale for every comparison of a pair:
// the given names, the surnames and each --with field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum Level : uint8_t {
    DIFFERENT = 0,
    SOME = 1,   // names: a shared code, half the letters, or an initial
    CLOSE = 2,  // names: an edit or two; other fields: one character off, a date's day and month swapped
    EXACT = 3,
    MISSING = 4,  // either value is empty: counts neither for nor against
};
const int kLevels = 4;  // the levels that carry a weight

const char* levelName(Level level);

// What the library answered about two different words.
struct WordAnswers {
    int32_t distance = 0;      // ovLevenshtein
    int32_t guthPercent = 0;   // ovGuthMatch mode 2
    bool codesAgree = false;   // a Double Metaphone code of one is a code of the other
    bool transposed = false;   // the same letters with two neighbours swapped (TOMSAZ, TOMASZ)
    size_t lengthA = 0, lengthB = 0;
};

// The level of two different words: CLOSE within a fifth of the longer's
// letters, at 80 percent or more by Guth, or with a shared code within
// two fifths, or one swap of neighbouring letters, the typing slip that
// the distance counts twice; SOME with a shared code, within half, or at
// 60 percent.
Level wordLevel(const WordAnswers& answers);

// A word's letters in one number, for wordLevelAtMost: per letter A to Z
// two bits, the lower set when the word holds it, the upper when it holds
// it twice or more, and the length from bit 52. 0 for a word that is empty,
// longer than 255 bytes or holds anything but A to Z: the library would
// change it before comparing, so its letters tell nothing.
uint64_t letterProfile(const char* word, size_t size);

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

// The form of a --with field's value that is compared: letters and digits
// only, upper case ("1984-03-07" and "1984 03 07" both "19840307").
std::string plainValue(const char* text, size_t size);

// The level of two plain values: EXACT when equal, CLOSE when of one
// length and one character apart, or dates of eight digits whose day and
// month are swapped (year first or last); MISSING when one is empty.
Level valueLevel(std::string_view a, std::string_view b);
