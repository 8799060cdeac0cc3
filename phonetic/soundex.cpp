// Soundex: the name's first character and three digits (mode 0) or four
// digits with a finer split of the consonants (mode 1), built in the
// argument's own text.
#include <cstring>

#include "../extender/script_functions.h"

namespace {

// Digit of each letter A-Z; 0 for the letters that never reach the coding
// step (vowels, H, W, Y).
constexpr char kDigitsMode0[26] = {
    /* A */ 0,   /* B */ '1', /* C */ '2', /* D */ '3', /* E */ 0,   /* F */ '1', /* G */ '2',
    /* H */ 0,   /* I */ 0,   /* J */ '2', /* K */ '2', /* L */ '4', /* M */ '5', /* N */ '5',
    /* O */ 0,   /* P */ '1', /* Q */ '2', /* R */ '6', /* S */ '2', /* T */ '3', /* U */ 0,
    /* V */ '1', /* W */ 0,   /* X */ '2', /* Y */ 0,   /* Z */ '2',
};
constexpr char kDigitsMode1[26] = {
    /* A */ 0,   /* B */ '1', /* C */ '3', /* D */ '6', /* E */ 0,   /* F */ '2', /* G */ '4',
    /* H */ 0,   /* I */ 0,   /* J */ '4', /* K */ '3', /* L */ '7', /* M */ '8', /* N */ '8',
    /* O */ 0,   /* P */ '1', /* Q */ '5', /* R */ '9', /* S */ '3', /* T */ '6', /* U */ 0,
    /* V */ '2', /* W */ 0,   /* X */ '5', /* Y */ 0,   /* Z */ '5',
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Each byte's coding letter: B, b -> B and so on for the 18 coding letters,
// 0 for every other byte.
struct CodingLetters {
    unsigned char of[256];
    constexpr CodingLetters() : of() {
        const char* coding = "BCDFGJKLMNPQRSTVXZ";
        for (int k = 0; coding[k]; ++k) {
            of[static_cast<unsigned char>(coding[k])] = static_cast<unsigned char>(coding[k]);
            of[static_cast<unsigned char>(coding[k] - 'A' + 'a')] = static_cast<unsigned char>(coding[k]);
        }
    }
};
constexpr CodingLetters kCodingLetters;

// Reduces the name in place to its first character (upper-cased if a to z)
// followed by the coding consonants after it, upper-cased, with runs of
// identical characters merged. Sets `length` to the name's length before the
// reduction and answers the reduced length.
//
// Upper-casing, trimming, filtering and merging are one forward pass: a
// trailing blank is never a coding letter, so the filter drops whatever the
// trim would; and comparing each kept letter with the last one kept merges
// exactly the runs that a separate pass over the filtered text would.
size_t reduceName(char* name, size_t* length) {
    name[0] = upper(name[0]);
    size_t kept = 1;
    char last = name[0];  // the last character kept, held here rather than read back
    size_t i = 1;
    for (; name[i]; ++i) {
        const char c = static_cast<char>(kCodingLetters.of[static_cast<unsigned char>(name[i])]);
        name[kept] = c;  // the write position never passes the read position
        const bool keep = (c != 0) & (c != last);
        kept += keep;
        last = keep ? c : last;
    }
    name[kept] = '\0';
    *length = i;
    return kept;
}

// The digit tables for every byte: a byte that is not a coding letter (the
// bytes after the reduced name's NUL) reads as the pad digit '0'.
struct DigitsOfBytes {
    char of[256];
    constexpr DigitsOfBytes(const char (&digitsAToZ)[26]) : of() {
        for (int c = 0; c < 256; ++c) of[c] = '0';
        for (int k = 0; k < 26; ++k)
            if (digitsAToZ[k]) of['A' + k] = digitsAToZ[k];
    }
};
constexpr DigitsOfBytes kDigitsOfBytesMode0(kDigitsMode0);
constexpr DigitsOfBytes kDigitsOfBytesMode1(kDigitsMode1);

// Replaces the characters after the first by their digits, pads with '0' up
// to codeLength and ends the code there. `code` holds codeLength + 1
// readable bytes. Every position up to the code length is written, a digit
// before the reduced name's NUL and '0' from it on, without a branch on
// where the name ends.
void encode(char* code, int codeLength, const DigitsOfBytes& digits) {
    bool ended = false;
    for (int i = 1; i < codeLength; ++i) {
        const unsigned char c = static_cast<unsigned char>(code[i]);
        ended |= c == 0;
        code[i] = ended ? '0' : digits.of[c];
    }
    code[codeLength] = '\0';
}

}  // namespace

// ovSoundex(name, mode): a string result pointing into the name's own text,
// which is upper-cased, trimmed and reduced to the code in place. Neutral
// result: the empty string (wrong types, empty or blank name).
void ovSoundex(CallResult* result, int32_t argCount, HostValue* args) {
    setStringResult(result, kEmptyString);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 1, TYPE_INTEGER) || !argIs(argCount, args, 0, TYPE_STRING)) return;

    char* name = args[0].stringValue;
    while (isBlank(*name)) ++name;
    if (!*name) return;

    bool fine = args[1].intValue >= 1;
    int codeLength = fine ? 5 : 4;
    size_t room;  // bytes the argument holds from the name's start, before its NUL
    size_t reduced = reduceName(name, &room);

    char* code = name;
    if (room < static_cast<size_t>(codeLength)) {
        // The padded code does not fit in the argument (a name such as Lee):
        // build it in a scratch block instead of writing past the NUL.
        code = static_cast<char*>(allocScratch(result, codeLength + 1));
        if (!code) return;
        std::memcpy(code, name, reduced + 1);
    }
    encode(code, codeLength, fine ? kDigitsOfBytesMode1 : kDigitsOfBytesMode0);
    setStringResult(result, code);
}
