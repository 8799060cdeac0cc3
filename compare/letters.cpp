#include "letters.h"

int32_t keepLettersAToZ(char* text) {
    int32_t kept = 0;
    for (const char* p = text; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') text[kept++] = *p;
    text[kept] = '\0';
    return kept;
}
