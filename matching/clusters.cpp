#include "clusters.h"

#include <algorithm>

std::vector<uint32_t> clusterPairs(size_t records, std::vector<MatchedPair> pairs) {
    std::vector<std::vector<uint32_t>> neighbours(records);
    for (const MatchedPair& p : pairs) {
        neighbours[p.a].push_back(p.b);
        neighbours[p.b].push_back(p.a);
    }
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const MatchedPair& x, const MatchedPair& y) { return x.weight > y.weight; });
    std::vector<uint32_t> groupOf(records);
    std::vector<std::vector<uint32_t>> members(records);
    for (uint32_t r = 0; r < records; ++r) {
        groupOf[r] = r;
        members[r].push_back(r);
    }
    for (const MatchedPair& p : pairs) {
        uint32_t x = groupOf[p.a], y = groupOf[p.b];
        if (x == y) continue;
        if (members[x].size() > members[y].size()) std::swap(x, y);
        uint64_t links = 0;
        for (uint32_t r : members[x])
            for (uint32_t n : neighbours[r]) links += groupOf[n] == y;
        if (2 * links < static_cast<uint64_t>(members[x].size()) * members[y].size()) continue;
        for (uint32_t r : members[x]) groupOf[r] = y;
        members[y].insert(members[y].end(), members[x].begin(), members[x].end());
        members[x].clear();
    }
    // Numbered in order of first records; a group of one is no group.
    std::vector<uint32_t> number(records, 0), out(records, 0);
    uint32_t next = 1;
    for (uint32_t r = 0; r < records; ++r) {
        uint32_t g = groupOf[r];
        if (members[g].size() < 2) continue;
        if (!number[g]) number[g] = next++;
        out[r] = number[g];
    }
    return out;
}
