// Metaphone: a name's sound as a code of at most `maxlength` characters (the
// letters B F H J K L M N P R S T W X Y, 0 for TH, and an initial vowel),
// built from a cleaned copy of the name in a scratch block.
#include <cstdint>
#include <cstring>

#include "../extender/script_functions.h"
#include "../resources/string_ids.h"

namespace {

// A set of letters, looked up by byte; NUL is in no set.
struct LetterSet {
    bool has[256];
    constexpr explicit LetterSet(const char* letters) : has() {
        for (int k = 0; letters[k]; ++k) has[static_cast<unsigned char>(letters[k])] = true;
    }
};

constexpr LetterSet kVowels("AEIOU");          // Y is not a vowel here
constexpr LetterSet kSofteners("EIY");         // C, G and D soften before these
constexpr LetterSet kHushingLetters("CSPTG");  // H is silent after these
constexpr LetterSet kLettersAndDigits("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");

bool isIn(char c, const LetterSet& set) { return set.has[static_cast<unsigned char>(c)]; }

// a-z become A-Z; every other byte stays. By arithmetic: a branch here would
// follow the case of each letter.
char upper(char c) {
    return static_cast<char>(c - ((static_cast<unsigned char>(c - 'a') < 26) << 5));
}

// The prepared name and reads around a position in it. A position outside
// the name reads as NUL, so every test on a missing neighbour is false.
struct Word {
    const char* text;  // the letters and digits, ended by a NUL
    int length;
};

char charAt(const Word& word, int position) {
    return position >= 0 && position < word.length ? word.text[position] : '\0';
}

// A letter's code: up to two characters, the first in the low byte, 0 for
// none; so that it is appended with two stores and no loop over its length.
typedef uint32_t Code;

constexpr Code code(const char* text) {
    return text[0] == '\0' ? 0
                           : static_cast<unsigned char>(text[0]) | static_cast<Code>(static_cast<unsigned char>(text[1])) << 8;
}

// The code of the character at position i of the word: code("") for nothing.
// `room` is how many characters the code can still take (at least 1). The
// rows of each letter are tested in order; the first that holds answers.
Code letterCode(const Word& word, int i, int room) {
    // The word ends in a NUL, so the next character reads as NUL at the end,
    // and the one after it is read only when the next one is inside.
    const char current = word.text[i];
    const char previous = i > 0 ? word.text[i - 1] : '\0';
    const char next = word.text[i + 1];
    const char afterNext = next != '\0' ? word.text[i + 2] : '\0';
    const bool last = i == word.length - 1;

    switch (current) {
    case 'B':
        if (last && previous == 'M') return code("");
        return code("B");
    case 'C':
        if (previous == 'S' && isIn(next, kSofteners)) return code("");
        if (next == 'I' && afterNext == 'A') return code("X");
        if (isIn(next, kSofteners)) return code("S");
        if (previous == 'S' && next == 'H') return code("K");
        if (next == 'H' && i == 0 && afterNext != '\0' && !isIn(afterNext, kVowels)) return code("K");
        if (next == 'H') return code("X");
        return code("K");
    case 'D':
        if (next == 'G' && isIn(afterNext, kSofteners)) return code("J");
        return code("T");
    case 'G':
        if (next == 'H' && afterNext != '\0' && !isIn(afterNext, kVowels)) return code("");
        if (i > 0 && next == 'N' && i + 1 == word.length - 1) return code("");
        if (i > 0 && next == 'N' && afterNext == 'E' && charAt(word, i + 3) == 'D' && i + 3 == word.length - 1)
            return code("");
        if (previous == 'D' && isIn(next, kSofteners)) return code("");
        if (isIn(next, kSofteners)) return code("J");
        return code("K");
    case 'H':
        if (last) return code("");
        if (isIn(previous, kHushingLetters)) return code("");
        if (isIn(next, kVowels)) return code("H");
        return code("");
    case 'F': return code("F");
    case 'J': return code("J");
    case 'L': return code("L");
    case 'M': return code("M");
    case 'N': return code("N");
    case 'R': return code("R");
    case 'K':
        if (previous == 'C') return code("");
        return code("K");
    case 'P':
        if (next == 'H') return code("F");
        return code("P");
    case 'Q': return code("K");
    case 'S':
        if (next == 'I' && (afterNext == 'O' || afterNext == 'A')) return code("X");
        if (next == 'H') return code("X");
        return code("S");
    case 'T':
        if (next == 'I' && (afterNext == 'O' || afterNext == 'A')) return code("X");
        if (next == 'H') return code("0");
        if (next == 'C' && afterNext == 'H') return code("");
        return code("T");
    case 'V': return code("F");
    case 'W':
        if (isIn(next, kVowels)) return code("W");
        return code("");
    case 'Y':
        if (isIn(next, kVowels)) return code("Y");
        return code("");
    case 'X':
        // "KS" only while both characters fit, so the code never exceeds its limit.
        if (room >= 2) return code("KS");
        return code("K");
    case 'Z': return code("S");
    default:
        // Vowels after the first position and digits.
        return code("");
    }
}

// Upper-cases the argument's text in place (a-z only) and copies its letters
// and digits into `prepared`; then drops the silent first letter of PN, AE,
// KN, GN and WR, reads an initial X as S and drops the H of an initial WH.
// Answers the prepared word, which starts at `prepared` or one byte on.
Word prepareName(char* text, char* prepared) {
    int length = 0;
    for (char* p = text; *p; ++p) {
        // Every byte is stored at the place of the next one kept, and the
        // place moves on only for a letter or digit: a byte dropped is
        // overwritten by the next one kept or by the closing NUL.
        const char c = upper(*p);
        *p = c;
        prepared[length] = c;
        length += isIn(c, kLettersAndDigits);
    }
    prepared[length] = '\0';
    if (length == 0) return Word{prepared, 0};

    // The pair as first prepared decides both the silent first letter and WH.
    const char first = prepared[0], second = prepared[1];
    auto pairIs = [&](const char* pair) { return first == pair[0] && second == pair[1]; };
    char* word = prepared;
    if (pairIs("PN") || pairIs("AE") || pairIs("KN") || pairIs("GN") || pairIs("WR")) {
        ++word;
        --length;
    }
    if (word[0] == 'X') word[0] = 'S';
    if (pairIs("WH")) {
        std::memmove(word + 1, word + 2, static_cast<size_t>(length - 1));  // with the NUL
        --length;
    }
    return Word{word, length};
}

// Writes the Metaphone code of the prepared word into `code` (room for
// `limit` characters and a NUL, zero-filled).
void encodeWord(const Word& word, int limit, char* code) {
    int codeLength = 0;
    for (int i = 0; i < word.length && codeLength < limit; ++i) {
        const char current = word.text[i];
        // A doubled character gives nothing, except CC (as in ACCEPT: KS).
        if (i > 0 && current == word.text[i - 1] && current != 'C') continue;
        const Code sound = i == 0 && isIn(current, kVowels) ? static_cast<unsigned char>(current)
                                                            : letterCode(word, i, limit - codeLength);
        // Both bytes are stored: the second lands at most on the place of
        // the closing NUL, which is written last.
        code[codeLength] = static_cast<char>(sound & 0xFF);
        code[codeLength + 1] = static_cast<char>(sound >> 8);
        codeLength += ((sound & 0xFF) != 0) + ((sound >> 8) != 0);
    }
    code[codeLength] = '\0';
}

}  // namespace

// ovMetaphone(name, maxlength): a string result in a scratch block holding at
// most maxlength code characters (a limit below 4 counts as 4). Upper-cases
// the whole of the name's text in place once both blocks are taken. Neutral
// result: the empty string (wrong types, an empty name, a name without
// letters or digits).
void ovMetaphone(CallResult* result, int32_t argCount, HostValue* args) {
    setStringResult(result, kEmptyString);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 1, TYPE_INTEGER) || !argIs(argCount, args, 0, TYPE_STRING)) return;

    char* text = args[0].stringValue;
    if (!*text) return;

    const int32_t limit = args[1].intValue >= 4 ? args[1].intValue : 4;
    if (limit == INT32_MAX) {
        // limit + 1 bytes cannot even be asked for with a 32-bit count; no heap
        // grants such a block, so answer as a refused one.
        setErrorResult(result, IDS_NO_MEMORY);
        result->severity = SEVERITY_MEMORY;
        return;
    }
    char* code = static_cast<char*>(allocScratch(result, limit + 1));
    if (!code) return;
    char* prepared = static_cast<char*>(allocScratch(result, static_cast<int32_t>(std::strlen(text)) + 1));
    if (!prepared) return;

    const Word word = prepareName(text, prepared);
    if (word.length == 0) return;

    encodeWord(word, limit, code);
    setStringResult(result, code);
}
