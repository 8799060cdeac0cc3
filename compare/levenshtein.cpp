// Levenshtein distance between two names reduced to their letters A to Z.
#include "levenshtein.h"

#include <cstring>

// x86 processors fill the matrix with SSE2 (the 32-bit DLL after asking the
// processor); others cell by cell.
#if defined(__x86_64__) || defined(__i386__)
#define OV_VECTOR_FILL 1
#include <emmintrin.h>
#endif

#include "../extender/script_functions.h"
#include "letters.h"

void fillMatrixByCells(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix) {
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
}

#ifdef OV_VECTOR_FILL

// The 32-bit DLL is built for processors without SSE2, so only these
// routines use it, after the processor has been asked. Its callers keep the
// stack aligned to 4 bytes only, so the entry routine realigns it for the
// 16-byte values it may keep there.
#if defined(__i386__)
#define OV_SSE2 __attribute__((target("sse2"), force_align_arg_pointer))
#define OV_SSE2_INLINE __attribute__((target("sse2"), always_inline)) inline
#else
#define OV_SSE2
#define OV_SSE2_INLINE inline
#endif

namespace {

// Writes sixteen cells at `at`, as far as the matrix reaches. Lanes past the
// row's end land in the next row, which overwrites them in turn.
OV_SSE2_INLINE void storeCells(unsigned char* at, const unsigned char* end, __m128i cells) {
    if (end - at >= 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at), cells);
        return;
    }
    // The last rows: as many bytes as are left, in two stores of equal
    // size that may overlap (a call to memcpy would cost more than the row).
    alignas(16) unsigned char last[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(last), cells);
    const size_t count = static_cast<size_t>(end - at);
    if (count >= 8) {
        std::memcpy(at, last, 8);
        std::memcpy(at + count - 8, last + count - 8, 8);
    } else if (count >= 4) {
        std::memcpy(at, last, 4);
        std::memcpy(at + count - 4, last + count - 4, 4);
    } else if (count >= 2) {
        std::memcpy(at, last, 2);
        std::memcpy(at + count - 2, last + count - 2, 2);
    } else if (count == 1) {
        at[0] = last[0];
    }
}

// 1 in the lanes whose column letter is `letter`, 0 elsewhere.
OV_SSE2_INLINE __m128i matchesOf(char letter, __m128i columnLetters) {
    return _mm_and_si128(_mm_cmpeq_epi8(_mm_set1_epi8(letter), columnLetters), _mm_set1_epi8(1));
}

// Rows of up to 16 cells (n < 16, most names) and up to 240 rows: one
// vector each, kept in a register from row to row. Each lane j holds the
// cell's level, 240 + j - cell, which such a matrix keeps within a byte.
// A cell is at most its left neighbour + 1 exactly when its level is at
// least its neighbour's, so the pull of the cells to the left is a running
// maximum of levels: in steps that reach 1, 2, 4 and 8 lanes back, of which
// `Steps` reach column n from column 1. The cell above + 1 has its level
// - 1, the cell above-left + cost that level + 1 - cost, and the zeros a
// shift moves in are below every level. Lanes past column n hold values of
// no use, which never reach a column up to n.
template <int Steps>
OV_SSE2_INLINE void fillNarrow(const char* a, int32_t m, __m128i columnLetters, int32_t width, unsigned char* matrix) {
    const unsigned char* end = matrix + (m + 1) * width;
    const __m128i base = _mm_setr_epi8(-16, -15, -14, -13, -12, -11, -10, -9, -8, -7, -6, -5, -4, -3, -2, -1);
    __m128i levels = _mm_set1_epi8(-16);  // row 0: cell j = j, level 240
    storeCells(matrix, end, _mm_sub_epi8(base, levels));
    for (int32_t i = 1; i <= m; ++i) {
        const __m128i fromDiagonal = _mm_add_epi8(_mm_slli_si128(levels, 1), matchesOf(a[i - 1], columnLetters));
        levels = _mm_max_epu8(_mm_subs_epu8(levels, _mm_set1_epi8(1)), fromDiagonal);
        if (Steps >= 1) levels = _mm_max_epu8(levels, _mm_slli_si128(levels, 1));
        if (Steps >= 2) levels = _mm_max_epu8(levels, _mm_slli_si128(levels, 2));
        if (Steps >= 3) levels = _mm_max_epu8(levels, _mm_slli_si128(levels, 4));
        if (Steps >= 4) levels = _mm_max_epu8(levels, _mm_slli_si128(levels, 8));
        storeCells(matrix + i * width, end, _mm_sub_epi8(base, levels));
    }
}

// Rows of 16 cells or more, or more than 240 rows, in pieces of 16 columns
// held in `row`, the row above until each piece is replaced. Each cell is held as its headroom, 255 -
// cell: the least of candidates is the greatest headroom, adding is a
// subtraction that stops at 0 (a candidate of 255 or more, never below a
// real cell), and the zeros a shift moves in read as such candidates. Each
// piece also takes the last cell of the piece before as the cell left of
// its first.
OV_SSE2_INLINE void fillWide(const char* a, int32_t m, const unsigned char* columnLetters, int32_t width,
                             unsigned char* matrix) {
    const unsigned char* end = matrix + (m + 1) * width;
    const int32_t pieces = (width + 15) / 16;
    const __m128i one = _mm_set1_epi8(1), ones = _mm_set1_epi8(-1);
    alignas(16) unsigned char row[256];
    for (int32_t k = 0; k < pieces; ++k) {
        const __m128i lanes = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        const __m128i cells = _mm_add_epi8(lanes, _mm_set1_epi8(static_cast<char>(16 * k)));
        _mm_store_si128(reinterpret_cast<__m128i*>(row + 16 * k), _mm_xor_si128(cells, ones));
        storeCells(matrix + 16 * k, end, cells);
    }
    for (int32_t i = 1; i <= m; ++i) {
        const char letter = a[i - 1];
        __m128i aboveBefore = _mm_setzero_si128(), before = _mm_setzero_si128();
        for (int32_t k = 0; k < pieces; ++k) {
            __m128i* piece = reinterpret_cast<__m128i*>(row + 16 * k);
            const __m128i above = _mm_load_si128(piece);
            const __m128i letters = _mm_load_si128(reinterpret_cast<const __m128i*>(columnLetters + 16 * k));
            const __m128i cost = _mm_sub_epi8(one, matchesOf(letter, letters));
            const __m128i diagonal = _mm_or_si128(_mm_slli_si128(above, 1), _mm_srli_si128(aboveBefore, 15));
            __m128i cells = _mm_max_epu8(_mm_subs_epu8(above, one), _mm_subs_epu8(diagonal, cost));
            cells = _mm_max_epu8(cells, _mm_subs_epu8(_mm_srli_si128(before, 15), one));
            cells = _mm_max_epu8(cells, _mm_subs_epu8(_mm_slli_si128(cells, 1), one));
            cells = _mm_max_epu8(cells, _mm_subs_epu8(_mm_slli_si128(cells, 2), _mm_set1_epi8(2)));
            cells = _mm_max_epu8(cells, _mm_subs_epu8(_mm_slli_si128(cells, 4), _mm_set1_epi8(4)));
            cells = _mm_max_epu8(cells, _mm_subs_epu8(_mm_slli_si128(cells, 8), _mm_set1_epi8(8)));
            _mm_store_si128(piece, cells);
            storeCells(matrix + i * width + 16 * k, end, _mm_xor_si128(cells, ones));
            aboveBefore = above;
            before = cells;
        }
    }
}

}  // namespace

OV_SSE2 void fillMatrixByVectors(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix) {
    // Lane j holds the letter of column j (b's letter j - 1); lane 0 and the
    // lanes past column n hold 0, a byte no letter is.
    alignas(16) unsigned char columnLetters[256];
    const int32_t width = n + 1;
    const int32_t pieces = (width + 15) / 16;
    for (int32_t k = 0; k < pieces; ++k)
        _mm_store_si128(reinterpret_cast<__m128i*>(columnLetters + 16 * k), _mm_setzero_si128());
    for (int32_t j = 0; j < n; ++j) columnLetters[j + 1] = static_cast<unsigned char>(b[j]);
    if (pieces > 1 || m > 240) {
        fillWide(a, m, columnLetters, width, matrix);
        return;
    }
    // As few steps to the left as reach column n from column 1.
    const __m128i letters = _mm_load_si128(reinterpret_cast<const __m128i*>(columnLetters));
    if (n <= 1) fillNarrow<0>(a, m, letters, width, matrix);
    else if (n <= 2) fillNarrow<1>(a, m, letters, width, matrix);
    else if (n <= 4) fillNarrow<2>(a, m, letters, width, matrix);
    else if (n <= 8) fillNarrow<3>(a, m, letters, width, matrix);
    else fillNarrow<4>(a, m, letters, width, matrix);
}

bool vectorFillAvailable() {
#if defined(__x86_64__)
    return true;
#else
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
#endif
}

#else

void fillMatrixByVectors(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix) {
    fillMatrixByCells(a, m, b, n, matrix);
}

bool vectorFillAvailable() { return false; }

#endif

int32_t editDistance(const char* a, int32_t m, const char* b, int32_t n, unsigned char* matrix) {
    if (vectorFillAvailable()) fillMatrixByVectors(a, m, b, n, matrix);
    else fillMatrixByCells(a, m, b, n, matrix);
    return matrix[m * (n + 1) + n];
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
