// The edit distance of two names, apart from the script host.
#pragma once

#include <cstdint>

// The longest name the matrix takes: its cells are single bytes.
enum { MAX_LEVENSHTEIN_LENGTH = 255 };

// The least number of single-letter insertions, deletions and substitutions
// that turn the m letters of `a` into the n letters of `b` (m, n at most 255).
// `matrix` holds (m + 1) * (n + 1) bytes: cell (i, j), the distance between
// the first i letters of `a` and the first j of `b`, is the byte at
// i * (n + 1) + j. The whole matrix is filled, row by row.
int32_t editDistance(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix);

// The two fills behind editDistance, which leave the same matrix: cell by
// cell, and sixteen cells of a row at a time with SSE2. editDistance takes
// the second where the processor has SSE2 (every x86-64 one; the 32-bit
// DLL asks the processor). fillMatrixByVectors may be called only when
// vectorFillAvailable() answers true.
void fillMatrixByCells(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix);
void fillMatrixByVectors(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix);
bool vectorFillAvailable();
