#include "edit_distance.h"

#include <algorithm>
#include <functional>
#include <vector>

// The textbook recursion over suffixes with a memo of ints: no byte cells,
// no shared rows, nothing in common with the real routine but the definition.
int referenceDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> memo(a.size() + 1, std::vector<int>(b.size() + 1, -1));
    std::function<int(size_t, size_t)> d = [&](size_t i, size_t j) -> int {
        if (i == a.size()) return static_cast<int>(b.size() - j);
        if (j == b.size()) return static_cast<int>(a.size() - i);
        int& cell = memo[i][j];
        if (cell >= 0) return cell;
        if (a[i] == b[j]) return cell = d(i + 1, j + 1);
        return cell = 1 + std::min({d(i + 1, j), d(i, j + 1), d(i + 1, j + 1)});
    };
    return d(0, 0);
}
