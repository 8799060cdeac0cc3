// Metaphone: a name's sound as a code of at most `maxlength` characters (the
// letters B F H J K L M N P R S T W X Y, 0 for TH, and an initial vowel),
// built from a cleaned copy of the name in a scratch block.
#include <cstdint>
#include <cstring>

#include "../compare/letters.h"
#include "../extender/fast_paths.h"
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

constexpr LetterSet kLettersAndDigits("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");

bool isIn(char c, const LetterSet& set) { return set.has[static_cast<unsigned char>(c)]; }

// a-z become A-Z; every other byte stays. By arithmetic: a branch here would
// follow the case of each letter.
char upper(char c) {
    return static_cast<char>(c - ((static_cast<unsigned char>(c - 'a') < 26) << 5));
}

// The prepared name: its letters and digits, ended by a NUL.
struct Word {
    const char* text;
    int length;
};

// A character's code: up to two characters, the first in the low byte, 0
// for none; appended with two stores and no loop over its length.
typedef uint16_t Code;

constexpr Code codeOf(const char* text) {
    return text[0] == '\0' ? 0 : static_cast<Code>(static_cast<unsigned char>(text[0]) | static_cast<unsigned char>(text[1]) << 8);
}

// What the rows test about a position, as bits. "Next" is the character
// at i + 1, "after next" the one at i + 2; a neighbour outside the word is
// in no set. Each name spells out the condition it stands for.
enum : uint32_t {
    PREVIOUS_C = 1u << 0,
    PREVIOUS_D = 1u << 1,
    PREVIOUS_M = 1u << 2,
    PREVIOUS_S = 1u << 3,
    PREVIOUS_CSPTG = 1u << 4,  // previous is C, S, P, T or G
    NEXT_C = 1u << 5,
    NEXT_G = 1u << 6,
    NEXT_H = 1u << 7,
    NEXT_I = 1u << 8,
    NEXT_N = 1u << 9,
    NEXT_EIY = 1u << 10,    // next is E, I or Y
    NEXT_AEIOU = 1u << 11,  // next is A, E, I, O or U (Y is not a vowel here)
    AFTER_NEXT_A = 1u << 12,
    AFTER_NEXT_A_OR_O = 1u << 13,
    AFTER_NEXT_H = 1u << 14,
    AFTER_NEXT_EIY = 1u << 15,
    AFTER_NEXT_NOT_AEIOU = 1u << 16,  // after next exists and is not A, E, I, O or U
    FIRST = 1u << 17,                 // i = 0
    NOT_FIRST = 1u << 18,             // i > 0
    LAST = 1u << 19,
    NEXT_LAST = 1u << 20,        // next is last
    NEXT_THREE_NED = 1u << 21,   // the next three are N, E, D, and that D is last
    ROOM_FOR_TWO = 1u << 22,     // the code holds fewer than L - 1 characters
    ALWAYS = 0,                  // the row of "otherwise" and "always"
};
constexpr uint32_t kPreviousFacts = PREVIOUS_C | PREVIOUS_D | PREVIOUS_M | PREVIOUS_S | PREVIOUS_CSPTG;
constexpr uint32_t kNextFacts = NEXT_C | NEXT_G | NEXT_H | NEXT_I | NEXT_N | NEXT_EIY | NEXT_AEIOU;
constexpr uint32_t kAfterNextFacts =
    AFTER_NEXT_A | AFTER_NEXT_A_OR_O | AFTER_NEXT_H | AFTER_NEXT_EIY | AFTER_NEXT_NOT_AEIOU;

// One row of the rules: a letter, the conditions that must all hold, the code.
struct Rule {
    char letter;
    uint32_t when;
    const char* code;
};

// The rules, letter by letter and row by row in the order they are tested;
// the first row of a letter whose conditions all hold gives the code, and a
// character with no row that holds (a vowel after the first position, a
// digit) gives nothing. The numbers count the rows of each letter. Two
// steps come before the rows (encodeWord): a doubled character other than
// C gives nothing, and the vowel rows are the step that codes a vowel at the
// first position as itself.
constexpr Rule kRules[] = {
    // letter  conditions                                       code
    {'A', FIRST,                                                "A"},   // initial vowel
    {'B', LAST | PREVIOUS_M,                                    ""},    // B1
    {'B', ALWAYS,                                               "B"},   // B2
    {'C', PREVIOUS_S | NEXT_EIY,                                ""},    // C1
    {'C', NEXT_I | AFTER_NEXT_A,                                "X"},   // C2
    {'C', NEXT_EIY,                                             "S"},   // C3
    {'C', PREVIOUS_S | NEXT_H,                                  "K"},   // C4
    {'C', NEXT_H | FIRST | AFTER_NEXT_NOT_AEIOU,                "K"},   // C5
    {'C', NEXT_H,                                               "X"},   // C6
    {'C', ALWAYS,                                               "K"},   // C7
    {'D', NEXT_G | AFTER_NEXT_EIY,                              "J"},   // D1
    {'D', ALWAYS,                                               "T"},   // D2
    {'E', FIRST,                                                "E"},   // initial vowel
    {'F', ALWAYS,                                               "F"},
    {'G', NEXT_H | AFTER_NEXT_NOT_AEIOU,                        ""},    // G1
    {'G', NOT_FIRST | NEXT_N | NEXT_LAST,                       ""},    // G2
    {'G', NOT_FIRST | NEXT_THREE_NED,                           ""},    // G3
    {'G', PREVIOUS_D | NEXT_EIY,                                ""},    // G4
    {'G', NEXT_EIY,                                             "J"},   // G5
    {'G', ALWAYS,                                               "K"},   // G6
    {'H', LAST,                                                 ""},    // H1
    {'H', PREVIOUS_CSPTG,                                       ""},    // H2
    {'H', NEXT_AEIOU,                                           "H"},   // H3
    {'H', ALWAYS,                                               ""},    // H4
    {'I', FIRST,                                                "I"},   // initial vowel
    {'J', ALWAYS,                                               "J"},
    {'K', PREVIOUS_C,                                           ""},    // K1
    {'K', ALWAYS,                                               "K"},   // K2
    {'L', ALWAYS,                                               "L"},
    {'M', ALWAYS,                                               "M"},
    {'N', ALWAYS,                                               "N"},
    {'O', FIRST,                                                "O"},   // initial vowel
    {'P', NEXT_H,                                               "F"},   // P1
    {'P', ALWAYS,                                               "P"},   // P2
    {'Q', ALWAYS,                                               "K"},
    {'R', ALWAYS,                                               "R"},
    {'S', NEXT_I | AFTER_NEXT_A_OR_O,                           "X"},   // S1
    {'S', NEXT_H,                                               "X"},   // S2
    {'S', ALWAYS,                                               "S"},   // S3
    {'T', NEXT_I | AFTER_NEXT_A_OR_O,                           "X"},   // T1
    {'T', NEXT_H,                                               "0"},   // T2
    {'T', NEXT_C | AFTER_NEXT_H,                                ""},    // T3
    {'T', ALWAYS,                                               "T"},   // T4
    {'U', FIRST,                                                "U"},   // initial vowel
    {'V', ALWAYS,                                               "F"},
    {'W', NEXT_AEIOU,                                           "W"},   // W1
    {'W', ALWAYS,                                               ""},    // W2
    {'X', ROOM_FOR_TWO,                                         "KS"},  // X1
    {'X', ALWAYS,                                               "K"},   // X2
    {'Y', NEXT_AEIOU,                                           "Y"},   // Y1
    {'Y', ALWAYS,                                               ""},    // Y2
    {'Z', ALWAYS,                                               "S"},
};
constexpr int kRuleCount = sizeof kRules / sizeof kRules[0];

// The rows of a letter must stand together, letters in order: each
// letter's rows are found from its first row and their count.
constexpr bool rowsInLetterOrder() {
    for (int k = 1; k < kRuleCount; ++k)
        if (kRules[k].letter < kRules[k - 1].letter) return false;
    return true;
}
static_assert(rowsInLetterOrder(), "the rows of each letter stand together, A to Z");

// Marks a code that a glance at the characters around does not settle.
constexpr Code BY_RULES = 0xFFFF;

// The places a character can stand in, as far as the rows ask: after a
// character of each distinct set of previous-character facts (found from
// the facts, A to Z, digits and NUL alike), or at the first position.
enum { kPlaces = 8, AT_FIRST = kPlaces - 1 };

// The facts of each byte as a neighbour, where each character's rows lie,
// and, derived from the rows, the code of every character by the class of
// the character before it (or the first position) and the character after
// it (BY_RULES where the rows ask about more: the character after next, the
// end of the word beyond the next, the room left in the code). Most
// characters are settled by that glance: a vowel after the first gives
// nothing, P gives F before H, H after C is silent, and so on; a table read
// takes the place of jumps on the letter, which the processor cannot
// foresee. Characters are looked up by slot: 0 for NUL, then A to Z, then
// 0 to 9 (a prepared word holds nothing else).
struct RuleTables {
    uint32_t previous[256], next[256], after[256];
    int firstRule[256], ruleCount[256];
    uint8_t slot[256];
    uint8_t place[256];           // the place after each byte
    uint32_t placeFacts[kPlaces];  // the facts of each place after a byte
    int placeCount = 0;
    Code settled[kPlaces][37][37];

    constexpr RuleTables()
        : previous(), next(), after(), firstRule(), ruleCount(), slot(), place(), placeFacts(), settled() {
        setFacts(previous, "C", PREVIOUS_C);
        setFacts(previous, "D", PREVIOUS_D);
        setFacts(previous, "M", PREVIOUS_M);
        setFacts(previous, "S", PREVIOUS_S);
        setFacts(previous, "CSPTG", PREVIOUS_CSPTG);
        setFacts(next, "C", NEXT_C);
        setFacts(next, "G", NEXT_G);
        setFacts(next, "H", NEXT_H);
        setFacts(next, "I", NEXT_I);
        setFacts(next, "N", NEXT_N);
        setFacts(next, "EIY", NEXT_EIY);
        setFacts(next, "AEIOU", NEXT_AEIOU);
        setFacts(after, "A", AFTER_NEXT_A);
        setFacts(after, "AO", AFTER_NEXT_A_OR_O);
        setFacts(after, "H", AFTER_NEXT_H);
        setFacts(after, "EIY", AFTER_NEXT_EIY);
        setFacts(after, "BCDFGHJKLMNPQRSTVWXYZ0123456789", AFTER_NEXT_NOT_AEIOU);

        for (int k = kRuleCount - 1; k >= 0; --k) {
            const unsigned char c = static_cast<unsigned char>(kRules[k].letter);
            firstRule[c] = k;
            ++ruleCount[c];
        }

        for (int c = 0; c < 256; ++c) {
            int k = 0;
            while (k < placeCount && placeFacts[k] != previous[c]) ++k;
            if (k == placeCount && placeCount < AT_FIRST) placeFacts[placeCount++] = previous[c];
            place[c] = static_cast<uint8_t>(k);
        }

        const char* characters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        for (int k = 0; characters[k]; ++k) slot[static_cast<unsigned char>(characters[k])] = static_cast<uint8_t>(k + 1);
        for (int p = 0; p < kPlaces; ++p) {
            const uint32_t holds = p == AT_FIRST ? uint32_t{FIRST} : NOT_FIRST | placeFacts[p];
            for (int c = 0; characters[c]; ++c) {
                const unsigned char current = static_cast<unsigned char>(characters[c]);
                settled[p][c + 1][0] = settledCode(holds, current, 0);
                for (int n = 0; characters[n]; ++n)
                    settled[p][c + 1][n + 1] = settledCode(holds, current, static_cast<unsigned char>(characters[n]));
            }
        }
    }

    static constexpr void setFacts(uint32_t (&table)[256], const char* letters, uint32_t fact) {
        for (int k = 0; letters[k]; ++k) table[static_cast<unsigned char>(letters[k])] |= fact;
    }

    // The code of `current` before `following`, where the facts of the
    // position and the character before are `holds`, if the rows settle it
    // without the character after next: each row is passed over while a
    // fact the glance settles fails, and the first row left answers unless
    // it also asks about another fact.
    constexpr Code settledCode(uint32_t holds, unsigned char current, unsigned char following) const {
        holds |= next[following] | (following ? 0u : uint32_t{LAST});
        const uint32_t settled = kPreviousFacts | kNextFacts | FIRST | NOT_FIRST | LAST |
                                 (following ? 0u : kAfterNextFacts | NEXT_LAST | NEXT_THREE_NED);
        for (int k = firstRule[current]; k < firstRule[current] + ruleCount[current]; ++k) {
            if (kRules[k].when & settled & ~holds) continue;
            return kRules[k].when & ~settled ? BY_RULES : codeOf(kRules[k].code);
        }
        return 0;
    }
};
constexpr RuleTables kRuleTables;
static_assert(kRuleTables.placeCount < AT_FIRST, "each set of previous-character facts has its place");

// The code of the character at position i of the word by its rows, from
// every fact of the position; `roomForTwo` tells whether the code holds
// fewer than L - 1 characters.
Code codeByRules(const Word& word, int i, bool roomForTwo) {
    // The word ends in a NUL: the next character reads as NUL at the end,
    // and so does the one after it, read only while the next one is inside.
    const char* text = word.text;
    const unsigned char current = static_cast<unsigned char>(text[i]);
    const unsigned char previous = i > 0 ? static_cast<unsigned char>(text[i - 1]) : 0;
    const unsigned char next = static_cast<unsigned char>(text[i + 1]);
    const unsigned char afterNext = next ? static_cast<unsigned char>(text[i + 2]) : 0;
    uint32_t facts = kRuleTables.previous[previous] | kRuleTables.next[next] | kRuleTables.after[afterNext];
    facts |= i == 0 ? uint32_t{FIRST} : uint32_t{NOT_FIRST};
    if (i + 1 == word.length) facts |= LAST;
    if (i + 2 == word.length) facts |= NEXT_LAST;
    if (i + 4 == word.length && next == 'N' && afterNext == 'E' && text[i + 3] == 'D') facts |= NEXT_THREE_NED;
    if (roomForTwo) facts |= ROOM_FOR_TWO;

    const int first = kRuleTables.firstRule[current];
    for (int k = first; k < first + kRuleTables.ruleCount[current]; ++k)
        if ((facts & kRules[k].when) == kRules[k].when) return codeOf(kRules[k].code);
    return 0;
}

// Upper-cases the text in place (a-z only) and copies its letters and
// digits into `prepared`, ended by a NUL; answers how many were copied.
int keepLettersAndDigits(char* text, char* prepared) {
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
    return length;
}

// Upper-cases the argument's text (of `textLength` bytes) in place (a-z
// only) and copies its letters and digits into `prepared`; then drops the
// silent first letter of PN, AE, KN, GN and WR, reads an initial X as S and
// drops the H of an initial WH. Answers the prepared word, which starts at
// `prepared` or one byte on.
Word prepareName(char* text, int textLength, char* prepared) {
    int length = 0;
    if (upperCaseLettersOnly(text, textLength, prepared)) {
        // Most names are letters only: every byte is kept, so the prepared
        // word is the upper-cased text (the block's last byte, zero, ends it).
        length = textLength;
    } else {
        length = keepLettersAndDigits(text, prepared);
    }
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
    const uint8_t* slot = kRuleTables.slot;
    int codeLength = 0;
    unsigned char previous = 0;
    uint8_t place = AT_FIRST;
    for (int i = 0; i < word.length && codeLength < limit; ++i) {
        const unsigned char current = static_cast<unsigned char>(word.text[i]);
        // From the table where a glance at the characters around settles
        // the code, else by the rows.
        Code sound = kRuleTables.settled[place][slot[current]][slot[static_cast<unsigned char>(word.text[i + 1])]];
        if (sound == BY_RULES || !kFastPaths) sound = codeByRules(word, i, codeLength < limit - 1);
        // A doubled character gives nothing, except CC (as in ACCEPT: KS).
        if (current == previous && current != 'C') sound = 0;
        previous = current;
        place = kRuleTables.place[current];
        // Both bytes are stored: a code of two characters comes only where
        // both fit, and the second byte of one lands at most on the place
        // of the closing NUL, which is written last.
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
    const int32_t textLength = static_cast<int32_t>(std::strlen(text));
    char* prepared = static_cast<char*>(allocScratch(result, textLength + 1));
    if (!prepared) return;

    const Word word = prepareName(text, textLength, prepared);
    if (word.length == 0) return;

    encodeWord(word, limit, code);
    setStringResult(result, code);
}
