// Levenshtein distance between two names reduced to their letters A to Z.
#include "levenshtein.h"

#include <cstring>

#include "../extender/fast_paths.h"
#include "../extender/script_functions.h"
#include "letters.h"

int32_t fillMatrixByRows(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix) {
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

namespace {

// The columns of the matrix, one 64-bit word each: bit i of `plus` and
// `minus` holds whether the cell in row i + 1 is one more, or one less, than
// the cell above it. `matches(c)` gives the rows whose pattern letter is c.
// Bits above the pattern's last row never carry into it, so they may hold
// anything.
template <typename Matches>
int32_t distanceByColumns(Matches matches, int32_t patternLength, const char* text, int32_t textLength) {
    // The column of text position 0 is 0, 1, 2, ...: every vertical step +1.
    uint64_t plus = ~uint64_t{0}, minus = 0;
    const uint64_t lastRow = uint64_t{1} << (patternLength - 1);
    int32_t distance = patternLength;  // the cell of the last row
    for (int32_t j = 0; j < textLength; ++j) {
        const uint64_t equal = matches(text[j]);
        const uint64_t x = equal | minus;
        // The rows where the diagonal gives the cell its value, through the
        // carries of an addition: a match starts a run of vertical +1 steps
        // that the diagonal passes down.
        const uint64_t diagonal = (((x & plus) + plus) ^ plus) | x;
        uint64_t horizontalPlus = minus | ~(diagonal | plus);
        uint64_t horizontalMinus = plus & diagonal;
        distance += (horizontalPlus & lastRow) != 0;
        distance -= (horizontalMinus & lastRow) != 0;
        // Row 0 grows by one each column: its horizontal step is +1.
        horizontalPlus = (horizontalPlus << 1) | 1;
        horizontalMinus <<= 1;
        plus = horizontalMinus | ~(diagonal | horizontalPlus);
        minus = horizontalPlus & diagonal;
    }
    return distance;
}

template <typename Word>
Word loadBytes(const char* at) {
    Word word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// One to eight letters as one word, letter k in byte k (bits 8k to 8k + 7),
// the bytes above them 0, which no letter is: two loads of four or two
// bytes that overlap, so that nothing past the letters is read.
uint64_t lettersAsWord(const char* letters, int32_t length) {
    if (length >= 4)
        return loadBytes<uint32_t>(letters) | uint64_t{loadBytes<uint32_t>(letters + length - 4)} << (8 * (length - 4));
    if (length >= 2)
        return loadBytes<uint16_t>(letters) | uint64_t{loadBytes<uint16_t>(letters + length - 2)} << (8 * (length - 2));
    return static_cast<unsigned char>(letters[0]);
}

constexpr bool kLittleEndian =
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    false;
#else
    true;
#endif

// The rows of a pattern of up to eight letters, held as one word of bytes
// (lettersAsWord), whose letter is c: the bytes equal to c, found eight at
// a time, with no table to clear and fill.
struct MatchesInWord {
    uint64_t letters;
    uint64_t operator()(char c) const {
        const uint64_t ones = 0x0101010101010101u, low7 = 0x7F7F7F7F7F7F7F7Fu;
        const uint64_t differ = letters ^ (static_cast<unsigned char>(c) * ones);
        // The high bit of each byte that is 0, then those eight bits
        // gathered into the low byte by one multiplication.
        const uint64_t zero = ~(((differ & low7) + low7) | differ | low7);
        return (zero * 0x0002040810204081u) >> 56;
    }
};

}  // namespace

int32_t editDistanceByBits(const char* pattern, int32_t patternLength, const char* text, int32_t textLength) {
    if (patternLength <= 8 && kLittleEndian)
        return distanceByColumns(MatchesInWord{lettersAsWord(pattern, patternLength)}, patternLength, text,
                                 textLength);
    // matches[c]: bit i set where letter i of the pattern is c. Letters are
    // looked up by their low five bits, A to Z being 1 to 26.
    uint64_t matches[32];
    for (int k = 0; k < 32; k += 2) {
        matches[k] = matches[k + 1] = 0;
        // Kept as stores: as one memset of this size the compiler would use
        // a string instruction whose start-up alone costs about as much as
        // the distance of two short names.
        __asm__("" : : "r"(matches));
    }
    // Eight letters a step, however many of the last eight there are: the
    // loop then ends where the processor foresees it for most names. A
    // place past the pattern reads the byte after it, whose bits lie above
    // the last row, where they never carry into it.
    for (int32_t i = 0; i < patternLength; i += 8) {
        for (int32_t k = i; k < i + 8; ++k) {
            const int32_t at = k < patternLength ? k : patternLength;
            matches[pattern[at] & 31] |= uint64_t{1} << k;
        }
    }
    return distanceByColumns([&matches](char c) { return matches[c & 31]; }, patternLength, text, textLength);
}

namespace {

// Of two words that differ, the number of equal bytes before the first
// that differs, in memory order (from the low end), and after the last.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
int32_t equalBytesBefore(uint64_t differ) { return __builtin_clzll(differ) / 8; }
int32_t equalBytesAfter(uint64_t differ) { return __builtin_ctzll(differ) / 8; }
#else
int32_t equalBytesBefore(uint64_t differ) { return __builtin_ctzll(differ) / 8; }
int32_t equalBytesAfter(uint64_t differ) { return __builtin_clzll(differ) / 8; }
#endif

// How many of the first `most` letters of `a` and `b` agree before the
// first that differs; eight a step.
int32_t commonPrefix(const char* a, const char* b, int32_t most) {
    int32_t i = 0;
    for (; i + 8 <= most; i += 8) {
        const uint64_t differ = loadBytes<uint64_t>(a + i) ^ loadBytes<uint64_t>(b + i);
        if (differ) return i + equalBytesBefore(differ);
    }
    while (i < most && a[i] == b[i]) ++i;
    return i;
}

// How many of the last `most` letters of `a` (m letters) and `b` (n) agree
// after the last that differs; eight a step.
int32_t commonSuffix(const char* a, int32_t m, const char* b, int32_t n, int32_t most) {
    int32_t k = 0;
    for (; k + 8 <= most; k += 8) {
        const uint64_t differ = loadBytes<uint64_t>(a + m - k - 8) ^ loadBytes<uint64_t>(b + n - k - 8);
        if (differ) return k + equalBytesAfter(differ);
    }
    while (k < most && a[m - 1 - k] == b[n - 1 - k]) ++k;
    return k;
}

}  // namespace

int32_t editDistance(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix) {
    if (!kFastPaths) return fillMatrixByRows(a, m, b, n, matrix);
    // Letters that both names begin or end with change no distance: left
    // out, they shorten the loop, and names of a sorted list, or names
    // that sound alike, often share a few.
    const int32_t prefix = commonPrefix(a, b, m < n ? m : n);
    a += prefix;
    b += prefix;
    m -= prefix;
    n -= prefix;
    const int32_t suffix = commonSuffix(a, m, b, n, m < n ? m : n);
    m -= suffix;
    n -= suffix;
    if (m == 0) return n;
    if (n == 0) return m;
    // The pattern is the longer name when it fits a word, so that the loop,
    // whose steps wait on each other, runs over the shorter.
    const bool aIsLonger = m >= n;
    const char* longer = aIsLonger ? a : b;
    const char* shorter = aIsLonger ? b : a;
    const int32_t longLength = aIsLonger ? m : n, shortLength = aIsLonger ? n : m;
    if (longLength <= MAX_BIT_PARALLEL_LENGTH) return editDistanceByBits(longer, longLength, shorter, shortLength);
    if (shortLength <= MAX_BIT_PARALLEL_LENGTH) return editDistanceByBits(shorter, shortLength, longer, longLength);
    return fillMatrixByRows(a, m, b, n, matrix);
}

// ovLevenshtein(name1, name2): the edit distance of the two names after both
// are upper-cased and reduced to their letters A to Z in place. An empty name
// gives the other's full length as passed, untouched; a name longer than 255
// bytes gives -1, untouched. Neutral result: -1 (wrong types). A refused
// matrix block gives message 913, the names already reduced. The block is
// taken whatever the names' lengths, as (m + 1) * (n + 1) zero-filled bytes,
// though only names of more than 64 letters each fill it.
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

    int32_t m = upperCaseAndKeepLettersAToZ(name1, length1);
    int32_t n = upperCaseAndKeepLettersAToZ(name2, length2);
    unsigned char* matrix = static_cast<unsigned char*>(allocScratch(result, (m + 1) * (n + 1)));
    if (!matrix) return;
    setIntegerResult(result, editDistance(name1, m, name2, n, matrix));
}
