// Metaphone: a name's sound as a code of at most `maxlength` characters (the
// letters B F H J K L M N P R S T W X Y, 0 for TH, and an initial vowel),
// built from a cleaned copy of the name in a scratch block.
#include <cstdint>
#include <cstring>

#include "../extender/script_functions.h"
#include "../resources/string_ids.h"

namespace {

const char kVowels[] = "AEIOU";      // Y is not a vowel here
const char kSofteners[] = "EIY";     // C, G and D soften before these
const char kHushingLetters[] = "CSPTG";  // H is silent after these

bool isIn(char c, const char* set) { return c != '\0' && std::strchr(set, c) != nullptr; }

bool isLetterOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// The prepared name and reads around a position in it. A position outside
// the name reads as NUL, so every test on a missing neighbour is false.
struct Word {
    const char* text;
    int length;
};

char charAt(const Word& word, int position) {
    return position >= 0 && position < word.length ? word.text[position] : '\0';
}

// The code of the character at position i of the word: "" for nothing.
// `room` is how many characters the code can still take (at least 1). The
// rows of each letter are tested in order; the first that holds answers.
const char* letterCode(const Word& word, int i, int room) {
    const char current = word.text[i];
    const char previous = charAt(word, i - 1);
    const char next = charAt(word, i + 1);
    const char afterNext = charAt(word, i + 2);
    const bool last = i == word.length - 1;

    switch (current) {
    case 'B':
        if (last && previous == 'M') return "";
        return "B";
    case 'C':
        if (previous == 'S' && isIn(next, kSofteners)) return "";
        if (next == 'I' && afterNext == 'A') return "X";
        if (isIn(next, kSofteners)) return "S";
        if (previous == 'S' && next == 'H') return "K";
        if (next == 'H' && i == 0 && afterNext != '\0' && !isIn(afterNext, kVowels)) return "K";
        if (next == 'H') return "X";
        return "K";
    case 'D':
        if (next == 'G' && isIn(afterNext, kSofteners)) return "J";
        return "T";
    case 'G':
        if (next == 'H' && afterNext != '\0' && !isIn(afterNext, kVowels)) return "";
        if (i > 0 && next == 'N' && i + 1 == word.length - 1) return "";
        if (i > 0 && next == 'N' && afterNext == 'E' && charAt(word, i + 3) == 'D' && i + 3 == word.length - 1)
            return "";
        if (previous == 'D' && isIn(next, kSofteners)) return "";
        if (isIn(next, kSofteners)) return "J";
        return "K";
    case 'H':
        if (last) return "";
        if (isIn(previous, kHushingLetters)) return "";
        if (isIn(next, kVowels)) return "H";
        return "";
    case 'F': return "F";
    case 'J': return "J";
    case 'L': return "L";
    case 'M': return "M";
    case 'N': return "N";
    case 'R': return "R";
    case 'K':
        if (previous == 'C') return "";
        return "K";
    case 'P':
        if (next == 'H') return "F";
        return "P";
    case 'Q': return "K";
    case 'S':
        if (next == 'I' && (afterNext == 'O' || afterNext == 'A')) return "X";
        if (next == 'H') return "X";
        return "S";
    case 'T':
        if (next == 'I' && (afterNext == 'O' || afterNext == 'A')) return "X";
        if (next == 'H') return "0";
        if (next == 'C' && afterNext == 'H') return "";
        return "T";
    case 'V': return "F";
    case 'W':
        if (isIn(next, kVowels)) return "W";
        return "";
    case 'Y':
        if (isIn(next, kVowels)) return "Y";
        return "";
    case 'X':
        // "KS" only while both characters fit, so the code never exceeds its limit.
        if (room >= 2) return "KS";
        return "K";
    case 'Z': return "S";
    default:
        // Vowels after the first position and digits.
        return "";
    }
}

// Upper-cases the argument's text in place (a-z only) and copies its letters
// and digits into `prepared`; then drops the silent first letter of PN, AE,
// KN, GN and WR, reads an initial X as S and drops the H of an initial WH.
// Answers the prepared length.
int prepareName(char* text, char* prepared) {
    int length = 0;
    for (char* p = text; *p; ++p) {
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
        if (isLetterOrDigit(*p)) prepared[length++] = *p;
    }
    prepared[length] = '\0';
    if (length == 0) return 0;

    // The pair as first prepared decides both the silent first letter and WH.
    const char pair[3] = {prepared[0], prepared[1], '\0'};
    if (!std::strcmp(pair, "PN") || !std::strcmp(pair, "AE") || !std::strcmp(pair, "KN") ||
        !std::strcmp(pair, "GN") || !std::strcmp(pair, "WR")) {
        std::memmove(prepared, prepared + 1, static_cast<size_t>(length));  // with the NUL
        --length;
    }
    if (prepared[0] == 'X') prepared[0] = 'S';
    if (!std::strcmp(pair, "WH")) {
        std::memmove(prepared + 1, prepared + 2, static_cast<size_t>(length - 1));  // with the NUL
        --length;
    }
    return length;
}

// Writes the Metaphone code of the prepared word into `code` (room for
// `limit` characters and a NUL, zero-filled).
void encodeWord(const Word& word, int limit, char* code) {
    int codeLength = 0;
    for (int i = 0; i < word.length && codeLength < limit; ++i) {
        const char current = word.text[i];
        // A doubled character gives nothing, except CC (as in ACCEPT: KS).
        if (i > 0 && current == word.text[i - 1] && current != 'C') continue;
        if (i == 0 && isIn(current, kVowels)) {
            code[codeLength++] = current;
            continue;
        }
        for (const char* c = letterCode(word, i, limit - codeLength); *c; ++c) code[codeLength++] = *c;
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
    char* prepared = static_cast<char*>(allocScratch(result, lstrlenA(text) + 1));
    if (!prepared) return;

    const int length = prepareName(text, prepared);
    if (length == 0) return;

    encodeWord(Word{prepared, length}, limit, code);
    setStringResult(result, code);
}
