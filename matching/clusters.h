// Groups of records from their matched pairs, without chaining: a group
// joins another only when at least half of the pairs between their records
// are matches, so that one weak bridge cannot join two people's records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct MatchedPair {
    uint32_t a, b;  // records, a < b
    double weight;
};

// The group of each of `records` records: from 1 in order of first
// records, 0 for a record alone. Pairs are tried from the heaviest down.
std::vector<uint32_t> clusterPairs(size_t records, std::vector<MatchedPair> pairs);
