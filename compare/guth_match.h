// The Guth comparison of two names, apart from the script host.
#pragma once

#include <cstdint>

struct GuthWalk {
    int32_t matchFlag;   // 1 unless a step found no partner
    int32_t matchCount;  // letter pairs matched; may exceed the shorter length
};

// Walks the letters of `a` (m of them) and `b` (n) side by side, looking for
// a partner among the neighbouring positions where the current letters
// differ. A step that finds none clears the flag and ends the walk when
// `stopAtMismatch`, else moves on two letters in `a` and three in `b`.
GuthWalk guthWalk(const char* a, int32_t m, const char* b, int32_t n, bool stopAtMismatch);

struct GuthResult {
    int32_t matchFlag;   // 0 or 1
    int32_t percentage;  // 0 to 100; 0 when not asked for, unless the names are equal
};

// Compares two names: empty names never match and are left alone; otherwise
// both are upper-cased in place, and unless then equal, reduced in place to
// their letters A to Z before the walk. The percentage is computed only when
// `needPercentage` (a walk without it stops at the first mismatch).
GuthResult guthCompare(char* name1, char* name2, bool needPercentage);
