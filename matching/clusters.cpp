#include "clusters.h"

#include <algorithm>

#include "../records/bucket_index.h"

namespace {

const uint32_t kEnd = UINT32_MAX;

}  // namespace

std::vector<uint32_t> clusterPairs(size_t records, std::vector<MatchedPair> pairs) {
    // Each record's partners, from start[r] to start[r + 1].
    std::vector<uint32_t> start, partners;
    bucketIndex(records, [&](auto place) {
        for (const MatchedPair& p : pairs) place(p.a, p.b), place(p.b, p.a);
    }, &start, &partners);
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const MatchedPair& x, const MatchedPair& y) { return x.weight > y.weight; });
    // A group is named by its first record and lists its records from
    // there (next), with its last and its size.
    std::vector<uint32_t> groupOf(records), next(records, kEnd), last(records), size(records, 1);
    for (uint32_t r = 0; r < records; ++r) groupOf[r] = last[r] = r;
    for (const MatchedPair& p : pairs) {
        uint32_t x = groupOf[p.a], y = groupOf[p.b];
        if (x == y) continue;
        if (size[x] > size[y]) std::swap(x, y);
        uint64_t links = 0;
        for (uint32_t r = x; r != kEnd; r = next[r])
            for (uint32_t i = start[r]; i < start[r + 1]; ++i) links += groupOf[partners[i]] == y;
        if (2 * links < static_cast<uint64_t>(size[x]) * size[y]) continue;
        for (uint32_t r = x; r != kEnd; r = next[r]) groupOf[r] = y;
        next[last[y]] = x;
        last[y] = last[x];
        size[y] += size[x];
        size[x] = 0;
    }
    // Numbered in order of first records; a group of one is no group.
    std::vector<uint32_t> number(records, 0), out(records, 0);
    uint32_t nextNumber = 1;
    for (uint32_t r = 0; r < records; ++r) {
        uint32_t g = groupOf[r];
        if (size[g] < 2) continue;
        if (!number[g]) number[g] = nextNumber++;
        out[r] = number[g];
    }
    return out;
}

PeopleGroups groupPeople(size_t records, const std::vector<Candidate>& matched, const FsModel& model,
                         const std::vector<uint32_t>& copyOf) {
    PeopleGroups groups;
    std::vector<MatchedPair> edges;
    edges.reserve(matched.size());
    for (const Candidate& c : matched) edges.push_back({c.x, c.y, pairWeight(model, c)});
    groups.groupOf = clusterPairs(records, edges);
    if (!copyOf.empty()) {
        // Copies take their first's group (a new one where it has none),
        // then the groups are numbered again in order of first records.
        uint32_t next = 0;
        for (uint32_t g : groups.groupOf) next = std::max(next, g);
        for (uint32_t r = 0; r < records; ++r) {
            const uint32_t first = copyOf[r];
            if (first == r) continue;
            if (!groups.groupOf[first]) groups.groupOf[first] = ++next;
            groups.groupOf[r] = groups.groupOf[first];
        }
        uint32_t numbered = 0;
        std::vector<uint32_t> renumber(next + 1, 0);
        for (uint32_t& g : groups.groupOf)
            if (g) g = renumber[g] ? renumber[g] : (renumber[g] = ++numbered);
    }
    for (uint32_t g : groups.groupOf) groups.count = std::max(groups.count, g);
    groups.weakest.assign(groups.count + 1, nullptr);
    for (const Candidate& c : matched) {
        const uint32_t g = groups.groupOf[c.x];
        if (!g || g != groups.groupOf[c.y]) continue;
        if (!groups.weakest[g] || pairWeight(model, c) < pairWeight(model, *groups.weakest[g])) groups.weakest[g] = &c;
    }
    bucketIndex(groups.count + 1, [&](auto place) {
        for (uint32_t r = 0; r < records; ++r)
            if (groups.groupOf[r]) place(groups.groupOf[r], r);
    }, &groups.start, &groups.members);
    return groups;
}
