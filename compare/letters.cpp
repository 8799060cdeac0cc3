#include "letters.h"

int32_t keepLettersAToZ(char* text, bool& dropped) {
    // The leading letters stay where they are, and are not written again.
    const char* p = text;
    while (static_cast<unsigned char>(*p - 'A') < 26) ++p;
    dropped = *p != '\0';
    if (!dropped) return static_cast<int32_t>(p - text);
    // From the first byte dropped on, every byte is stored at the place of
    // the next one kept, and the place moves on only for a letter: a byte
    // dropped is overwritten by the next letter or by the closing NUL. No
    // branch follows the letters, and no byte past the closing NUL is
    // written.
    int32_t kept = static_cast<int32_t>(p - text);
    for (; *p; ++p) {
        const char c = *p;
        text[kept] = c;
        kept += static_cast<unsigned char>(c - 'A') < 26;
    }
    text[kept] = '\0';
    return kept;
}

int32_t keepLettersAToZ(char* text) {
    bool dropped;
    return keepLettersAToZ(text, dropped);
}
