// Prefix, consonant and vowel tests. None of them changes the host's strings.
#include "char_tests.h"

#include <cctype>
#include <cstring>

#include "../extender/script_functions.h"

namespace {

const char kConsonants[] = "BCDFGHJKLMNPQRSTVWXZ";
const char kVowels[] = "AEIOUY";

// The byte at `position` (counted from 1) upper-cased, or NUL when the name
// is empty or the position lies outside it.
char upperByteAt(const char* name, int32_t position) {
    if (!*name || position < 1 || position > lstrlenA(name)) return '\0';
    int c = static_cast<unsigned char>(name[position - 1]);
    // Only a to z change; the host's locale must not reach accented bytes.
    if (c >= 'a' && c <= 'z') c = std::toupper(c);
    return static_cast<char>(c);
}

// True for a byte A to Z in `set`; NUL and every other byte are in no set.
bool inLetterSet(char c, const char* set) {
    return c >= 'A' && c <= 'Z' && std::strchr(set, c) != nullptr;
}

}  // namespace

bool isAbbreviation(const char* word, const char* abbreviation, int32_t significant) {
    size_t length = std::strlen(abbreviation);
    if (significant <= 0) return std::strncmp(word, abbreviation, length) == 0;
    if (static_cast<size_t>(significant) > length) return false;
    return std::strncmp(word, abbreviation, static_cast<size_t>(significant)) == 0;
}

bool isConsonantAt(const char* name, int32_t position) {
    return inLetterSet(upperByteAt(name, position), kConsonants);
}

bool isVowelAt(const char* name, int32_t position, bool yIsVowel) {
    char vowels[sizeof kVowels];
    std::memcpy(vowels, kVowels, sizeof kVowels);
    if (!yIsVowel) vowels[5] = '\0';
    return inLetterSet(upperByteAt(name, position), vowels);
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
