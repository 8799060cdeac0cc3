// Phonex: a first letter and three digits, like Soundex but with the name
// normalised at both ends first and context rules for D, T, L, M, N and R.
// Built in a scratch copy of the name; the argument is never written.
#include <cstring>

#include "../extender/script_functions.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isVowel(char c) { return c != '\0' && std::strchr("AEIOUY", c) != nullptr; }

// The first letter of a name that does not begin with KN, PH or WR.
char initialLetter(char c) {
    switch (c) {
    case 'A': case 'E': case 'I': case 'O': case 'U': case 'Y': return 'A';
    case 'J': return 'G';
    case 'K': case 'Q': return 'C';
    case 'P': return 'B';
    case 'V': return 'F';
    case 'Z': return 'S';
    default: return c;
    }
}

// The digit of `current` given the character after it (NUL at the name's
// end); 0 when it gives none.
char digitOf(char current, char next) {
    switch (current) {
    case 'B': case 'F': case 'P': case 'V':
        return '1';
    case 'C': case 'G': case 'J': case 'K': case 'Q': case 'S': case 'X': case 'Z':
        return '2';
    case 'D': case 'T':
        return next == 'C' ? 0 : '3';
    case 'L':
        return isVowel(next) || next == '\0' ? '4' : 0;
    case 'M': case 'N':
        return '5';
    case 'R':
        return isVowel(next) || next == '\0' ? '6' : 0;
    default:
        return 0;
    }
}

// Encodes the NUL-terminated name in place: the code (four characters and a
// NUL) is written from name[0] on. The buffer must reach at least four bytes
// beyond the name's NUL. Answers false when nothing of the name is left.
bool encodeName(char* name) {
    size_t length = 0;
    for (char* p = name; *p; ++p) {
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
        if (!isBlank(*p)) length = static_cast<size_t>(p - name) + 1;
    }
    while (length > 0 && name[length - 1] == 'S') --length;
    name[length] = '\0';
    if (length == 0) return false;

    // First letter; `read` is where coding goes on.
    size_t read;
    if (!std::strncmp(name, "KN", 2) || !std::strncmp(name, "PH", 2) || !std::strncmp(name, "WR", 2)) {
        name[0] = name[0] == 'K' ? 'N' : name[0] == 'P' ? 'F' : 'R';
        read = 2;
    } else if (name[0] == 'H' && name[1] != '\0') {
        name[0] = initialLetter(name[1]);
        read = 2;
    } else {
        name[0] = initialLetter(name[0]);
        read = 1;
    }

    // Each code character is written at or before the character it comes
    // from (write <= read), so the look at the next character sees the name.
    size_t write = 1;
    for (; read < length && write < 4; ++read) {
        const char current = name[read];
        const char next = name[read + 1];
        const char digit = digitOf(current, next);
        // A D or G after M or N is part of the nasal sound.
        if ((current == 'M' || current == 'N') && (next == 'D' || next == 'G')) ++read;
        if (digit && digit != name[write - 1]) name[write++] = digit;
    }
    while (write < 4) name[write++] = '0';
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

    const int length = lstrlenA(text);
    // Zero-filled: the copy is ended by the block's own zeros, and the code
    // has room even when the name is shorter than four characters.
    char* copy = static_cast<char*>(allocScratch(result, length + 5));
    if (!copy) return;
    std::memcpy(copy, text, static_cast<size_t>(length));

    char* name = copy;
    while (isBlank(*name)) ++name;
    if (!encodeName(name)) return;
    setStringResult(result, name);
}
