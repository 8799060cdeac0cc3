#include "pair_counts.h"

#include <algorithm>

namespace {

uint64_t pairsOf(uint64_t n) { return n * (n - 1) / 2; }

// The pairs within runs of equal values of a sorted list.
template <typename T>
uint64_t pairsWithinRuns(const std::vector<T>& sorted) {
    uint64_t pairs = 0;
    for (size_t from = 0, to; from < sorted.size(); from = to) {
        for (to = from + 1; to < sorted.size() && sorted[to] == sorted[from];) ++to;
        pairs += pairsOf(to - from);
    }
    return pairs;
}

}  // namespace

PairCounts countGroupPairs(const std::vector<uint32_t>& groupOf, const std::vector<uint32_t>& truthOf) {
    std::vector<uint32_t> groups, truths;
    std::vector<std::pair<uint32_t, uint32_t>> both;
    for (size_t r = 0; r < groupOf.size(); ++r) {
        if (groupOf[r]) groups.push_back(groupOf[r]);
        if (truthOf[r] != kNoTruth) truths.push_back(truthOf[r]);
        if (groupOf[r] && truthOf[r] != kNoTruth) both.push_back({groupOf[r], truthOf[r]});
    }
    std::sort(groups.begin(), groups.end());
    std::sort(truths.begin(), truths.end());
    std::sort(both.begin(), both.end());
    PairCounts counts;
    counts.found = pairsWithinRuns(groups);
    counts.truth = pairsWithinRuns(truths);
    counts.correct = pairsWithinRuns(both);
    return counts;
}

PairCounts countLinkPairs(const std::vector<uint32_t>& truthOfA, const std::vector<uint32_t>& truthOfB,
                          const std::vector<std::pair<uint32_t, uint32_t>>& pairs) {
    std::vector<uint32_t> a, b;
    for (uint32_t t : truthOfA)
        if (t != kNoTruth) a.push_back(t);
    for (uint32_t t : truthOfB)
        if (t != kNoTruth) b.push_back(t);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    PairCounts counts;
    // Labels in both lists: the product of their counts.
    for (size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] < b[j]) ++i;
        else if (b[j] < a[i]) ++j;
        else {
            size_t i2 = i, j2 = j;
            while (i2 < a.size() && a[i2] == a[i]) ++i2;
            while (j2 < b.size() && b[j2] == b[j]) ++j2;
            counts.truth += static_cast<uint64_t>(i2 - i) * (j2 - j);
            i = i2;
            j = j2;
        }
    }
    counts.found = pairs.size();
    for (const auto& p : pairs)
        if (truthOfA[p.first] != kNoTruth && truthOfA[p.first] == truthOfB[p.second]) ++counts.correct;
    return counts;
}
