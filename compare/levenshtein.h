// The edit distance of two names, apart from the script host.
#pragma once

#include <cstdint>

// The longest name the matrix takes: its cells are single bytes.
enum { MAX_LEVENSHTEIN_LENGTH = 255 };

// The longest name whose letters fit one 64-bit word: one bit a letter.
enum { MAX_BIT_PARALLEL_LENGTH = 64 };

// The least number of single-letter insertions, deletions and substitutions
// that turn the m letters of `a` into the n letters of `b` (m, n at most
// 255; letters A to Z, each name followed by one more readable byte). When
// either name has at most 64 letters the distance is found a word at a time
// (editDistanceByBits) and `matrix` is not touched; otherwise `matrix`, of
// (m + 1) * (n + 1) bytes, is filled row by row (fillMatrixByRows).
int32_t editDistance(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix);

// The distance with one 64-bit word a column of the matrix: bit i of each
// word stands for row i + 1 and holds whether the cell differs from the one
// above it by +1 or -1 (the row algorithm of Myers, in the form for edit
// distance). `pattern` has 1 to 64 letters A to Z, and one more byte is
// read after them (the NUL, or any byte); `text` has any number of letters.
int32_t editDistanceByBits(const char* pattern, int32_t patternLength, const char* text, int32_t textLength);

// The whole matrix, row by row: cell (i, j), the distance between the first
// i letters of `a` and the first j of `b`, is the byte at i * (n + 1) + j.
// Answers cell (m, n).
int32_t fillMatrixByRows(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix);
