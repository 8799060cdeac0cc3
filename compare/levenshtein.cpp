// Levenshtein distance between two names reduced to their letters A to Z.
#include "levenshtein.h"

#include <cstring>

#include "../extender/script_functions.h"
#include "letters.h"

int32_t editDistance(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix) {
    const int32_t width = n + 1;
    for (int32_t i = 0; i <= m; ++i) matrix[i * width] = static_cast<unsigned char>(i);
    for (int32_t j = 0; j <= n; ++j) matrix[j] = static_cast<unsigned char>(j);
    // Row by row; the cell to the left and the one above-left ride along in
    // registers, so each cell reads one byte of the row above and none of
    // the row being written.
    const unsigned char* above = matrix;
    unsigned char* row = matrix + width;
    for (int32_t i = 1; i <= m; ++i, above += width, row += width) {
        const char letter = a[i - 1];
        unsigned left = row[0];
        unsigned aboveLeft = above[0];
        for (int32_t j = 1; j <= n; ++j) {
            const unsigned up = above[j];
            const unsigned substituted = aboveLeft + (letter != b[j - 1]);
            const unsigned fromAbove = substituted < up + 1 ? substituted : up + 1;
            left = fromAbove < left + 1 ? fromAbove : left + 1;
            row[j] = static_cast<unsigned char>(left);
            aboveLeft = up;
        }
    }
    return matrix[m * width + n];
}

// ovLevenshtein(name1, name2): the edit distance of the two names after both
// are upper-cased and reduced to their letters A to Z in place. An empty name
// gives the other's full length as passed, untouched; a name longer than 255
// bytes gives -1, untouched. Neutral result: -1 (wrong types). A refused
// matrix block gives message 913, the names already reduced.
void ovLevenshtein(CallResult* result, int32_t argCount, HostValue* args) {
    setIntegerResult(result, -1);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 1, TYPE_STRING) || !argIs(argCount, args, 0, TYPE_STRING)) return;

    char* name1 = args[0].stringValue;
    char* name2 = args[1].stringValue;
    int32_t length1 = static_cast<int32_t>(std::strlen(name1));
    int32_t length2 = static_cast<int32_t>(std::strlen(name2));
    if (length1 == 0) {
        setIntegerResult(result, length2);
        return;
    }
    if (length2 == 0) {
        setIntegerResult(result, length1);
        return;
    }
    if (length1 > MAX_LEVENSHTEIN_LENGTH || length2 > MAX_LEVENSHTEIN_LENGTH) return;

    CharUpperA(name1);
    CharUpperA(name2);
    int32_t m = keepLettersAToZ(name1);
    int32_t n = keepLettersAToZ(name2);
    unsigned char* matrix = static_cast<unsigned char*>(allocScratch(result, (m + 1) * (n + 1)));
    if (!matrix) return;
    setIntegerResult(result, editDistance(name1, m, name2, n, matrix));
}
