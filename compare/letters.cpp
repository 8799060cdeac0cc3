#include "letters.h"

int32_t keepLettersAToZ(char* text, bool& dropped) {
    // Every byte is stored at the place of the next one kept, and the place
    // moves on only for a letter: a byte dropped is overwritten by the next
    // letter or by the closing NUL. No branch follows the letters, and no
    // byte past the closing NUL is written.
    int32_t kept = 0;
    const char* p = text;
    for (; *p; ++p) {
        const char c = *p;
        text[kept] = c;
        kept += static_cast<unsigned char>(c - 'A') < 26;
    }
    text[kept] = '\0';
    dropped = p - text != kept;
    return kept;
}

int32_t keepLettersAToZ(char* text) {
    bool dropped;
    return keepLettersAToZ(text, dropped);
}
