// The edit distance of two names, apart from the script host.
#pragma once

#include <cstdint>

// The longest name the matrix takes: its cells are single bytes.
enum { MAX_LEVENSHTEIN_LENGTH = 255 };

// The least number of single-letter insertions, deletions and substitutions
// that turn the m letters of `a` into the n letters of `b` (m, n at most 255).
// `matrix` holds (m + 1) * (n + 1) bytes: cell (i, j), the distance between
// the first i letters of `a` and the first j of `b`, is the byte at
// i * (n + 1) + j.
int32_t editDistance(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix);
