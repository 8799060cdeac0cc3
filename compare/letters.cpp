#include "letters.h"

#include <cstring>

#include "../extender/fast_paths.h"
#include "../platform/platform.h"

namespace {

// Moves the letters A to Z of the text at `from` to `to` (at most `from`)
// and ends them with a NUL; answers how many were kept. Every byte is stored
// at the place of the next one kept, and the place moves on only for a
// letter: a byte dropped is overwritten by the next letter or by the closing
// NUL. No branch follows the letters, and no byte past the closing NUL is
// written.
int32_t moveLetters(char* to, const char* from, const char*& end) {
    int32_t kept = 0;
    const char* p = from;
    for (; *p; ++p) {
        const char c = *p;
        to[kept] = c;
        kept += static_cast<unsigned char>(c - 'A') < 26;
    }
    to[kept] = '\0';
    end = p;
    return kept;
}

}  // namespace

int32_t keepLettersAToZ(char* text, bool& dropped) {
    const char* end;
    const int32_t kept = moveLetters(text, text, end);
    dropped = end - text != kept;
    return kept;
}

int32_t keepLettersAToZ(char* text) {
    const char* end;
    return moveLetters(text, text, end);
}

namespace {

// Eight bytes at once (SWAR): each byte of a 64-bit word is one character.
constexpr uint64_t kOnes = 0x0101010101010101u;
constexpr uint64_t kHigh = 0x8080808080808080u;

// The high bit of each byte that is at least `low` and below `end`, for
// bytes below 0x80 (the bit set on top keeps each subtraction in its byte).
inline uint64_t inRange(uint64_t bytes, unsigned low, unsigned end) {
    return ((bytes | kHigh) - low * kOnes) & ~((bytes | kHigh) - end * kOnes) & ~bytes & kHigh;
}

// a to z become A to Z; bytes below 0x80 only.
inline uint64_t upperCased(uint64_t bytes) { return bytes - (inRange(bytes, 'a', 'z' + 1) >> 2); }

// True when every byte, upper-cased, is a letter A to Z (none is 0x80 or more).
inline bool allLetters(uint64_t upper) { return inRange(upper, 'A', 'Z' + 1) == kHigh; }

template <typename Word>
Word load(const char* at) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

template <typename Word>
void store(char* at, Word word) {
    std::memcpy(at, &word, sizeof word);
}

// Stores the word at `at` in the text and, where there is one, at the same
// place in the copy: from the register, so that a reader of the copy does
// not wait for the stores to the text.
template <typename Word>
void storeBoth(char* text, char* copy, int32_t at, Word word) {
    store(text + at, word);
    if (copy) store(copy + at, word);
}

// upperCaseLettersOnly, here so that the reduction below has it inlined.
// Whole words, the last of them overlapping the one before (upper-casing
// twice changes nothing), and below eight bytes two loads of half or less
// that overlap, padded with A: no loop follows the length of a short name,
// and no byte outside it is read or written.
inline bool upperCaseWordsIfLetters(char* text, int32_t length, char* copy) {
    if (!kFastPaths) return false;
    if (length >= 8) {
        // The last word is read before any store: read after the store of
        // the word it overlaps, it would wait for that store to complete.
        const int32_t last = length - 8;
        const uint64_t lastWord = upperCased(load<uint64_t>(text + last));
        if (!allLetters(lastWord)) return false;
        for (int32_t at = 0; at < last; at += 8)
            if (!allLetters(upperCased(load<uint64_t>(text + at)))) return false;
        for (int32_t at = 0; at < last; at += 8) storeBoth(text, copy, at, upperCased(load<uint64_t>(text + at)));
        storeBoth(text, copy, last, lastWord);
        return true;
    }
    if (length >= 4) {
        const uint64_t bytes = load<uint32_t>(text) | uint64_t{load<uint32_t>(text + length - 4)} << 32;
        const uint64_t upper = upperCased(bytes);
        if (!allLetters(upper)) return false;
        storeBoth(text, copy, 0, static_cast<uint32_t>(upper));
        storeBoth(text, copy, length - 4, static_cast<uint32_t>(upper >> 32));
        return true;
    }
    if (length >= 2) {
        const uint64_t bytes = load<uint16_t>(text) | uint64_t{load<uint16_t>(text + length - 2)} << 16 |
                               0x4141414100000000u;  // A in the four bytes above
        const uint64_t upper = upperCased(bytes);
        if (!allLetters(upper)) return false;
        storeBoth(text, copy, 0, static_cast<uint16_t>(upper));
        storeBoth(text, copy, length - 2, static_cast<uint16_t>(upper >> 16));
        return true;
    }
    const uint64_t upper = upperCased(static_cast<unsigned char>(text[0]) | 0x4141414141414100u);
    if (!allLetters(upper)) return false;
    storeBoth(text, copy, 0, static_cast<char>(upper));
    return true;
}

}  // namespace

bool upperCaseLettersOnly(char* text, int32_t length, char* copy) {
    return upperCaseWordsIfLetters(text, length, copy);
}

int32_t upperCaseAndKeepLettersAToZ(char* text, int32_t length) {
    // Most names are letters only: upper-cased, they keep every byte.
    if (length > 0 && upperCaseWordsIfLetters(text, length, nullptr)) return length;
    if (!kFastPaths) {
        CharUpperA(text);
        return keepLettersAToZ(text);
    }

    // CharUpperA turns a to z into A to Z and leaves every other byte below
    // 0x80 as it is, whatever the system's locale and ANSI code page: each
    // Windows ANSI code page, the double-byte ones included, holds ASCII at
    // 0x00 to 0x7F as characters of one byte (a lead byte of two is 0x81 or
    // more), and CharUpperA maps i to I even in Turkish and Azerbaijani.
    // So up to the first byte above 0x7F its answer is certain from the
    // bytes, and is worked out here with the reduction in the same pass.
    // From that byte on, where the code page decides, CharUpperA is asked:
    // what comes before it is complete characters, so the rest starts at a
    // character and upper-cases as it does within the whole text.
    int32_t kept = 0;
    char* p = text;
    for (;; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == 0) break;
        if (c >= 0x80) {
            CharUpperA(p);
            const char* end;
            return kept + moveLetters(text + kept, p, end);
        }
        const char upper = static_cast<char>(c - ((static_cast<unsigned char>(c - 'a') < 26) << 5));
        // Upper-cased in its own place too: bytes past the reduced text keep
        // what CharUpperA would have left there.
        *p = upper;
        text[kept] = upper;
        kept += static_cast<unsigned char>(upper - 'A') < 26;
    }
    text[kept] = '\0';
    return kept;
}
