// Guth match: do two names match letter by letter, allowing a doubled,
// dropped, inserted or swapped letter, and how alike are they.
#include "guth_match.h"

#include <cstdio>

#include "../extender/script_functions.h"
#include "letters.h"

namespace {

// The neighbouring positions tried, in order, when the walk looks for a
// partner: offsets into the first name (di) and into the second (dj).
struct Probe {
    int8_t di, dj;
};
const Probe kProbes[9] = {
    {0, 0},   // the two current letters
    {0, 1},   // current of A, next of B
    {0, 2},   // current of A, the one after next of B
    {-1, 1},  // previous of A, next of B
    {1, 1},   // the two next letters
    {2, 1},   // after next of A, next of B
    {1, 2},   // next of A, after next of B
    {2, 2},   // the two letters after next
    {2, 3},   // after next of A, third on of B
};

// A position before the first letter or at or after the end reads as NUL,
// so the look-ahead never leaves the name. Such a position is clamped to the
// name's own NUL (a negative one reads as a large unsigned number), so the
// read needs no branch.
char letterAt(const char* name, int32_t length, int32_t position) {
    const uint32_t inside = static_cast<uint32_t>(position) < static_cast<uint32_t>(length)
                                ? static_cast<uint32_t>(position)
                                : static_cast<uint32_t>(length);
    return name[inside];
}

// The percentage of the letters of both names that paired up. The walk can
// pair one letter of the shorter name with several of the longer, so the
// count is capped at the shorter length; 64-bit so that no length overflows.
int32_t matchPercentage(int32_t matchCount, int32_t m, int32_t n) {
    int64_t shorter = m < n ? m : n;
    int64_t count = matchCount < shorter ? matchCount : shorter;
    // Names of fewer than 2^23 letters fit 32 bits, whose division is the
    // cheaper one (a library call in the 32-bit DLL otherwise).
    if (m < (1 << 23) && n < (1 << 23))
        return static_cast<int32_t>(static_cast<uint32_t>(count) * 200u / static_cast<uint32_t>(m + n));
    return static_cast<int32_t>(count * 200 / (static_cast<int64_t>(m) + n));
}

}  // namespace

GuthWalk guthWalk(const char* a, int32_t m, const char* b, int32_t n, bool stopAtMismatch) {
    GuthWalk walk = {1, 0};
    int32_t i = 0, j = 0;
    for (;;) {
        bool stepped = false;
        for (const Probe& probe : kProbes) {
            char x = letterAt(a, m, i + probe.di);
            char y = letterAt(b, n, j + probe.dj);
            if (x == y) {
                // Both names run out here: the walk is over, whatever it looked ahead for.
                if (x == '\0') return walk;
                ++walk.matchCount;
                i += probe.di + 1;
                j += probe.dj + 1;
                stepped = true;
                break;
            }
        }
        if (stepped) continue;
        walk.matchFlag = 0;
        if (stopAtMismatch) return walk;
        i += 2;
        j += 3;
    }
}

GuthResult guthCompare(char* name1, char* name2, bool needPercentage) {
    GuthResult none = {0, 0}, same = {1, 100};
    if (!*name1 || !*name2) return none;
    CharUpperA(name1);
    CharUpperA(name2);
    if (lstrcmpA(name1, name2) == 0) return same;
    bool dropped1, dropped2;
    int32_t m = keepLettersAToZ(name1, dropped1);
    int32_t n = keepLettersAToZ(name2, dropped2);
    // Two names that keep no letter at all compare equal here too. Names
    // that lost nothing are the ones just found unequal, and comparing them
    // again would answer the same.
    if ((dropped1 || dropped2) && lstrcmpA(name1, name2) == 0) return same;
    if (m == 0 || n == 0) return none;
    GuthWalk walk = guthWalk(name1, m, name2, n, !needPercentage);
    GuthResult result = {walk.matchFlag, 0};
    if (needPercentage) result.percentage = matchPercentage(walk.matchCount, m, n);
    return result;
}

// The text of a mode 3 result. One buffer for the library: each mode 3 call
// overwrites it, and the host copies it inside its callback.
static char matchTextBuffer[7];

// ovGuthMatch(name1, name2, mode): mode 1 the match flag, 2 the percentage
// (both integers), 3 the text "flag<TAB>percentage"; a mode below 1 acts as
// 1, above 3 as 3. Both names are upper-cased in place and, unless then
// equal, reduced to their letters A to Z. Neutral result: the empty string,
// in every mode (wrong types).
void ovGuthMatch(CallResult* result, int32_t argCount, HostValue* args) {
    setStringResult(result, kEmptyString);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 2, TYPE_INTEGER) || !argIs(argCount, args, 1, TYPE_STRING) ||
        !argIs(argCount, args, 0, TYPE_STRING))
        return;

    int32_t mode = args[2].intValue;
    if (mode < 1) mode = 1;
    if (mode > 3) mode = 3;

    GuthResult match = guthCompare(args[0].stringValue, args[1].stringValue, mode != 1);
    switch (mode) {
    case 1:
        setIntegerResult(result, match.matchFlag);
        break;
    case 2:
        setIntegerResult(result, match.percentage);
        break;
    default:
        std::snprintf(matchTextBuffer, sizeof matchTextBuffer, "%d\t%d", static_cast<int>(match.matchFlag),
                      static_cast<int>(match.percentage));
        setStringResult(result, matchTextBuffer);
        break;
    }
}
