// How well found pairs agree with the truth: each record carries a label
// of the entity it belongs to, and every two records of one entity are a
// true pair. Precision is the share of found pairs that are true, recall
// the share of true pairs that were found, F1 their harmonic mean.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// A record whose truth is unknown (an empty field): an entity of its own.
const uint32_t kNoTruth = UINT32_MAX;

struct PairCounts {
    uint64_t found = 0;    // pairs found
    uint64_t correct = 0;  // found pairs that are true
    uint64_t truth = 0;    // true pairs

    // 1 when there is nothing to find or nothing was found, as a ratio of
    // no pairs is neither good nor bad.
    double precision() const { return found ? static_cast<double>(correct) / found : 1.0; }
    double recall() const { return truth ? static_cast<double>(correct) / truth : 1.0; }
    double f1() const {
        double p = precision(), r = recall();
        return p + r > 0 ? 2 * p * r / (p + r) : 0.0;
    }
};

// The pairs of a grouping: two records are found together when they share
// a group (0 is none: the record stands alone). `groupOf` and `truthOf`
// hold one entry per record.
PairCounts countGroupPairs(const std::vector<uint32_t>& groupOf, const std::vector<uint32_t>& truthOf);

// The pairs of a linkage: `pairs` holds (record of A, record of B) indexes,
// each pair once; the true pairs are all pairs of A and B with one label.
PairCounts countLinkPairs(const std::vector<uint32_t>& truthOfA, const std::vector<uint32_t>& truthOfB,
                          const std::vector<std::pair<uint32_t, uint32_t>>& pairs);
