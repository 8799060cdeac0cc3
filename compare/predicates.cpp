// Prefix, consonant and vowel tests. None of them changes the host's strings.
#include "predicates.h"

#include <cstring>

#include "../extender/script_functions.h"

namespace {

constexpr char kConsonants[] = "BCDFGHJKLMNPQRSTVWXZ";
constexpr char kVowels[] = "AEIOU";  // and Y on request

enum : unsigned char { CONSONANT = 1, VOWEL = 2, LETTER_Y = 4 };

// The class of each byte: the letters of the two sets in either case (the
// tested byte is upper-cased first, a to z only); every other byte is in no
// set.
struct LetterClasses {
    unsigned char of[256];
    constexpr LetterClasses() : of() {
        for (int k = 0; kConsonants[k]; ++k) {
            of[static_cast<unsigned char>(kConsonants[k])] = CONSONANT;
            of[static_cast<unsigned char>(kConsonants[k] - 'A' + 'a')] = CONSONANT;
        }
        for (int k = 0; kVowels[k]; ++k) {
            of[static_cast<unsigned char>(kVowels[k])] = VOWEL;
            of[static_cast<unsigned char>(kVowels[k] - 'A' + 'a')] = VOWEL;
        }
        of[static_cast<unsigned char>('Y')] = of[static_cast<unsigned char>('y')] = LETTER_Y;
    }
};
constexpr LetterClasses kLetterClasses;

// The class of the byte at `position` (counted from 1), or 0 when the name
// is empty or the position lies outside it. The name is read only as far as
// the position, not measured whole.
unsigned char classAt(const char* name, int32_t position) {
    if (position < 1) return 0;
    for (int32_t i = 0; i < position - 1; ++i)
        if (!name[i]) return 0;
    return kLetterClasses.of[static_cast<unsigned char>(name[position - 1])];
}

}  // namespace

bool isAbbreviation(const char* word, const char* abbreviation, int32_t significant) {
    // Measured and compared by the C library, many bytes a step: a loop of
    // ours over the bytes would end at a place the processor cannot foresee.
    const size_t length = std::strlen(abbreviation);
    // The whole abbreviation must begin the word.
    if (significant <= 0) return std::strncmp(word, abbreviation, length) == 0;
    // The first `significant` bytes must agree, and the abbreviation must
    // have that many.
    const size_t compared = static_cast<size_t>(significant);
    return compared <= length && std::strncmp(word, abbreviation, compared) == 0;
}

bool isConsonantAt(const char* name, int32_t position) {
    return classAt(name, position) == CONSONANT;
}

bool isVowelAt(const char* name, int32_t position, bool yIsVowel) {
    return (classAt(name, position) & (yIsVowel ? VOWEL | LETTER_Y : VOWEL)) != 0;
}

// ovIsAbbrev(word, abbreviation, length): 1 when the abbreviation is a prefix
// of the word (length 0 or below), or when both agree in their first `length`
// bytes and the abbreviation has that many; case counts. Neutral result: 0.
void ovIsAbbrev(CallResult* result, int32_t argCount, HostValue* args) {
    setIntegerResult(result, 0);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 2, TYPE_INTEGER) || !argIs(argCount, args, 1, TYPE_STRING) ||
        !argIs(argCount, args, 0, TYPE_STRING))
        return;
    setIntegerResult(result, isAbbreviation(args[0].stringValue, args[1].stringValue, args[2].intValue) ? 1 : 0);
}

// ovIsConsonant(name, position): 1 when the character at the position
// (counted from 1, either case) is one of the twenty consonants; Y is not.
// Neutral result: 0 (wrong types, empty name, position outside the name).
void ovIsConsonant(CallResult* result, int32_t argCount, HostValue* args) {
    setIntegerResult(result, 0);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 1, TYPE_INTEGER) || !argIs(argCount, args, 0, TYPE_STRING)) return;
    setIntegerResult(result, isConsonantAt(args[0].stringValue, args[1].intValue) ? 1 : 0);
}

// ovIsVowel(name, position, ySwitch): 1 when the character at the position
// (counted from 1, either case) is A, E, I, O or U, or Y when the switch is 1
// or more. The switch is read whatever its type, but a call that does not
// pass it at all answers the neutral 0, as do wrong types, an empty name and
// a position outside the name.
void ovIsVowel(CallResult* result, int32_t argCount, HostValue* args) {
    setIntegerResult(result, 0);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 1, TYPE_INTEGER) || !argIs(argCount, args, 0, TYPE_STRING) || argCount < 3) return;
    setIntegerResult(result, isVowelAt(args[0].stringValue, args[1].intValue, args[2].intValue >= 1) ? 1 : 0);
}
