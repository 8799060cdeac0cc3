// The prefix, consonant and vowel tests, apart from the script host.
#pragma once

#include <cstdint>

// True when `abbreviation` is a prefix of `word` (significant 0 or below), or
// when `significant` is at most the abbreviation's length and the first
// `significant` bytes of both agree. Byte-wise and case-sensitive.
bool isAbbreviation(const char* word, const char* abbreviation, int32_t significant);

// True when the byte at `position` (counted from 1), upper-cased if it is a
// to z, is one of BCDFGHJKLMNPQRSTVWXZ. False outside the name.
bool isConsonantAt(const char* name, int32_t position);

// True when the byte at `position` (counted from 1), upper-cased if it is a
// to z, is one of AEIOU, or Y when `yIsVowel`. False outside the name.
bool isVowelAt(const char* name, int32_t position, bool yIsVowel);
