// Groups of records from their matched pairs, without chaining: a group
// joins another only when at least half of the pairs between their records
// are matches, so that one weak bridge cannot join two people's records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "candidates.h"
#include "model.h"

struct MatchedPair {
    uint32_t a, b;  // records, a < b
    double weight;
};

// The group of each of `records` records: from 1 in order of first
// records, 0 for a record alone. Pairs are tried from the heaviest down.
std::vector<uint32_t> clusterPairs(size_t records, std::vector<MatchedPair> pairs);

// The groups of group: each record's, each group's records, and how sure
// each group is.
struct PeopleGroups {
    std::vector<uint32_t> groupOf;  // per record: its group from 1, or 0 alone
    uint32_t count = 0;             // groups
    // Group g's records, in order: members[start[g]] to members[start[g + 1]].
    std::vector<uint32_t> start, members;
    // Per group from 1: its weakest pair within it.
    std::vector<const Candidate*> weakest;

    const uint32_t* begin(uint32_t g) const { return members.data() + start[g]; }
    const uint32_t* end(uint32_t g) const { return members.data() + start[g + 1]; }
    uint64_t grouped() const { return members.size(); }
};

// The groups of `records` records from the pairs that matched (which must
// outlive the groups: `weakest` points into them). With `copyOf` (per
// record, the first of its exact copies: PersonMatcher::copyOf), each copy
// joins its first's group, and copies of a record that matched nothing
// are a group of their own, with no weakest pair.
PeopleGroups groupPeople(size_t records, const std::vector<Candidate>& matched, const FsModel& model,
                         const std::vector<uint32_t>& copyOf = {});
