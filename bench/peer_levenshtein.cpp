#include "peer_levenshtein.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Upper-cases a to z and keeps the letters A to Z, in place; answers the
// count kept.
int reduceToLetters(char* text) {
    int kept = 0;
    for (char* p = text; *p; ++p) {
        char c = *p;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c >= 'A' && c <= 'Z') text[kept++] = c;
    }
    text[kept] = '\0';
    return kept;
}

// The distance of two strings of letters A to Z, `a` at most 64 letters: one
// 64-bit word a column (Hyyrö's form of Myers' algorithm).
int bitParallel(const char* a, int m, const char* b, int n) {
    uint64_t peq[26] = {};
    for (int i = 0; i < m; ++i) peq[a[i] - 'A'] |= uint64_t{1} << i;
    uint64_t vp = ~uint64_t{0}, vn = 0;
    const uint64_t last = uint64_t{1} << (m - 1);
    int score = m;
    for (int j = 0; j < n; ++j) {
        const uint64_t eq = peq[b[j] - 'A'];
        const uint64_t x = eq | vn;
        const uint64_t d0 = (((x & vp) + vp) ^ vp) | x;
        uint64_t hp = vn | ~(d0 | vp);
        uint64_t hn = vp & d0;
        if (hp & last) ++score;
        if (hn & last) --score;
        hp = (hp << 1) | 1;
        hn <<= 1;
        vp = hn | ~(d0 | hp);
        vn = hp & d0;
    }
    return score;
}

// Two rows of the matrix, for names of more than 64 letters each.
int byRows(const char* a, int m, const char* b, int n) {
    int previous[256], current[256];
    for (int j = 0; j <= n; ++j) previous[j] = j;
    for (int i = 1; i <= m; ++i) {
        current[0] = i;
        for (int j = 1; j <= n; ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] != b[j - 1])});
        std::memcpy(previous, current, sizeof(int) * static_cast<size_t>(n + 1));
    }
    return previous[n];
}

}  // namespace

int peerLevenshtein(char* name1, char* name2) {
    const int length1 = static_cast<int>(std::strlen(name1)), length2 = static_cast<int>(std::strlen(name2));
    if (length1 == 0 || length2 == 0) return length1 + length2;
    if (length1 > 255 || length2 > 255) return -1;
    const char* a = name1;
    const char* b = name2;
    int m = reduceToLetters(name1), n = reduceToLetters(name2);
    // The longer as the pattern where it fits a word, the loop over the shorter.
    if (m < n) {
        std::swap(a, b);
        std::swap(m, n);
    }
    if (n == 0) return m;
    if (m <= 64) return bitParallel(a, m, b, n);
    if (n <= 64) return bitParallel(b, n, a, m);
    return byRows(a, m, b, n);
}
