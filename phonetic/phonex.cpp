// Phonex: a first letter and three digits, like Soundex but with the name
// normalised at both ends first and context rules for D, T, L, M, N and R.
// Built in a scratch copy of the name; the argument is never written.
#include <cstring>

#include "../extender/script_functions.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// a-z become A-Z; every other byte stays. By arithmetic: a branch here
// would follow the case of each letter.
char upper(char c) {
    return static_cast<char>(c - ((static_cast<unsigned char>(c - 'a') < 26) << 5));
}

// The classes of the character after a coded letter, as bits.
enum : unsigned char {
    NEXT_C = 1,                 // C
    NEXT_D_OR_G = 2,            // D or G
    NEXT_NOT_VOWEL_OR_END = 4,  // anything but A, E, I, O, U, Y and the name's end
};

struct DigitRule {
    char digit;                 // 0 for a letter that is never coded
    unsigned char silentNext;   // no digit when the next character is of these classes
    unsigned char passedNext;   // the next character is passed over when of these classes
};

// The digit groups, letter by letter: D and T are silent before C, L and R
// are heard only before a vowel or at the end, M and N pass over a D or G.
constexpr DigitRule kDigitRulesAToZ[26] = {
    /* A */ {0, 0, 0},   /* B */ {'1', 0, 0}, /* C */ {'2', 0, 0},
    /* D */ {'3', NEXT_C, 0},                  /* E */ {0, 0, 0},
    /* F */ {'1', 0, 0}, /* G */ {'2', 0, 0}, /* H */ {0, 0, 0},
    /* I */ {0, 0, 0},   /* J */ {'2', 0, 0}, /* K */ {'2', 0, 0},
    /* L */ {'4', NEXT_NOT_VOWEL_OR_END, 0},   /* M */ {'5', 0, NEXT_D_OR_G},
    /* N */ {'5', 0, NEXT_D_OR_G},             /* O */ {0, 0, 0},
    /* P */ {'1', 0, 0}, /* Q */ {'2', 0, 0}, /* R */ {'6', NEXT_NOT_VOWEL_OR_END, 0},
    /* S */ {'2', 0, 0}, /* T */ {'3', NEXT_C, 0},                  /* U */ {0, 0, 0},
    /* V */ {'1', 0, 0}, /* W */ {0, 0, 0},   /* X */ {'2', 0, 0},
    /* Y */ {0, 0, 0},   /* Z */ {'2', 0, 0},
};

// The first letter of a name that does not begin with KN, PH or WR; 0 for
// a letter that stays as it is.
constexpr char kInitialAToZ[26] = {
    /* A */ 'A', /* B */ 0,   /* C */ 0,   /* D */ 0,   /* E */ 'A', /* F */ 0,   /* G */ 0,
    /* H */ 0,   /* I */ 'A', /* J */ 'G', /* K */ 'C', /* L */ 0,   /* M */ 0,   /* N */ 0,
    /* O */ 'A', /* P */ 'B', /* Q */ 'C', /* R */ 0,   /* S */ 0,   /* T */ 0,   /* U */ 'A',
    /* V */ 'F', /* W */ 0,   /* X */ 0,   /* Y */ 'A', /* Z */ 'S',
};

// The tables above for every byte, so that a character is looked up
// without first testing whether it is a letter.
struct ByteTables {
    DigitRule rule[256];
    char initial[256];
    unsigned char nextClass[256];
    constexpr ByteTables() : rule(), initial(), nextClass() {
        for (int c = 0; c < 256; ++c) {
            rule[c] = DigitRule{0, 0, 0};
            initial[c] = static_cast<char>(c);
            nextClass[c] = NEXT_NOT_VOWEL_OR_END;
        }
        for (int k = 0; k < 26; ++k) {
            rule['A' + k] = kDigitRulesAToZ[k];
            if (kInitialAToZ[k]) initial['A' + k] = kInitialAToZ[k];
        }
        const char* vowels = "AEIOUY";
        for (int k = 0; vowels[k]; ++k) nextClass[static_cast<unsigned char>(vowels[k])] = 0;
        nextClass[0] = 0;  // the name's end
        nextClass[static_cast<unsigned char>('C')] |= NEXT_C;
        nextClass[static_cast<unsigned char>('D')] |= NEXT_D_OR_G;
        nextClass[static_cast<unsigned char>('G')] |= NEXT_D_OR_G;
    }
};
constexpr ByteTables kTables;

char initialLetter(char c) { return kTables.initial[static_cast<unsigned char>(c)]; }

// Copies the argument's `length` bytes of text into the block, upper-cased
// (a-z only: blanks and tabs stay what they are), and answers the length up
// to and including its last character that is neither blank nor tab. One
// pass for the copy, the upper-casing and the trimming.
size_t copyUpperCased(char* copy, const char* text, size_t length) {
    size_t trimmed = 0;
    for (size_t k = 0; k < length; ++k) {
        const char c = upper(text[k]);
        copy[k] = c;
        if (!isBlank(c)) trimmed = k + 1;
    }
    return trimmed;
}

// Encodes the name of `length` characters in place, from its first
// character that is neither blank nor tab to its last: the code (four
// characters and a NUL) is written from name[0] on. The buffer must reach
// at least four bytes beyond the name's end. Answers false when nothing of
// the name is left.
bool encodeName(char* name, size_t length) {
    while (length > 0 && name[length - 1] == 'S') --length;
    name[length] = '\0';
    if (length == 0) return false;

    // First letter; `read` is where coding goes on.
    size_t read;
    const char first = name[0], second = name[1];
    if ((first == 'K' && second == 'N') || (first == 'P' && second == 'H') || (first == 'W' && second == 'R')) {
        name[0] = first == 'K' ? 'N' : first == 'P' ? 'F' : 'R';
        read = 2;
    } else if (first == 'H' && second != '\0') {
        name[0] = initialLetter(second);
        read = 2;
    } else {
        name[0] = initialLetter(first);
        read = 1;
    }

    // Each code character is written at or before the character it comes
    // from (write <= read), so the look at the next character sees the name.
    // Every character stores its digit (or 0) at the write position, and the
    // position moves on only when the digit counts: a store that does not
    // count is overwritten by the next one or by the padding.
    size_t write = 1;
    char last = name[0];  // the code's last character, held here rather than read back
    // A D or G after M or N is part of the nasal sound and gives nothing.
    // It is passed over in its own turn rather than skipped from the M or
    // N, so that each turn reads the next character, not one found by the
    // turn before.
    bool passed = false;
    for (; read < length && write < 4; ++read) {
        const DigitRule rule = kTables.rule[static_cast<unsigned char>(name[read])];
        const unsigned char next = kTables.nextClass[static_cast<unsigned char>(name[read + 1])];
        name[write] = rule.digit;
        const bool written =
            !passed & ((next & rule.silentNext) == 0) & (rule.digit != 0) & (rule.digit != last);
        write += written;
        last = written ? rule.digit : last;
        passed = (next & rule.passedNext) != 0;  // never for a D or G itself
    }
    // Pads to four characters, each place tested on its own rather than
    // counted up to.
    for (size_t k = 1; k < 4; ++k) name[k] = k < write ? name[k] : '0';
    name[4] = '\0';
    return true;
}

}  // namespace

// ovPhonex(name): a string result of four characters in a scratch copy of the
// name, which itself stays unchanged. Neutral result: the empty string (wrong
// type, an empty name, blanks only, S's only).
void ovPhonex(CallResult* result, int32_t argCount, HostValue* args) {
    setStringResult(result, kEmptyString);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 0, TYPE_STRING)) return;

    const char* text = args[0].stringValue;
    if (!*text) return;

    const size_t length = std::strlen(text);
    // Zero-filled: the copy is ended by the block's own zeros, and the code
    // has room even when the name is shorter than four characters.
    char* copy = static_cast<char*>(allocScratch(result, static_cast<int32_t>(length) + 5));
    if (!copy) return;
    const size_t trimmed = copyUpperCased(copy, text, length);

    size_t start = 0;
    while (start < trimmed && isBlank(copy[start])) ++start;
    if (!encodeName(copy + start, trimmed - start)) return;
    setStringResult(result, copy + start);
}
