// The Fellegi–Sunter model of record linkage: each comparison of a pair
// lands on a level; a level is seen with probability m among pairs of one
// person and u among pairs of two, the comparisons independent given the
// class. A level weighs log2(m / u); a pair's weight is the sum, and with
// the share p of true pairs among the candidates, its probability of
// being one person. m, u and p are fitted without labels by expectation–
// maximisation over the candidate pairs.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "levels.h"

// A pair's levels, three bits a comparison, the first in the low bits.
typedef uint32_t Pattern;
const int kMaxComparisons = 10;

inline Level levelAt(Pattern p, int c) { return static_cast<Level>((p >> (3 * c)) & 7); }
inline Pattern withLevel(Pattern p, int c, Level l) { return (p & ~(7u << (3 * c))) | (Pattern(l) << (3 * c)); }

struct FsModel {
    int comparisons = 0;
    double share = 0.05;  // p: of the candidate pairs, those of one person
    std::vector<std::vector<double>> m, u;  // per comparison, per level below MISSING
    std::vector<std::vector<double>> weights;  // log2(m / u), made to rise with the level

    // Starting values that any real data moves away from: agreement is
    // likely among true pairs and rare among others.
    static FsModel start(int comparisons);
    // Sets `weights` from m and u.
    void setWeights();
    // The weight of a level: log2(m / u), 0 for MISSING.
    double weight(int comparison, Level level) const;
    double weight(Pattern pattern) const;
    // The probability that a pair of this weight is one person.
    double probability(double weight) const;
};

// The u of each comparison from pairs of records drawn at random, nearly
// all of two people: `counts` per comparison, per level below MISSING.
void setRandomPairLevels(const std::vector<std::vector<uint64_t>>& counts, FsModel* model);

// Fits `model` (starting from its values) to the candidate pairs, given as
// the count of each pattern; `rounds` rounds of EM. With `fixedU`, only m
// and the share are fitted: the candidates were chosen for agreeing, so
// that among them agreement is common in pairs of two people too, and EM
// left free to fit u then finds the class of "agrees on the key" rather
// than of "one person". A comparison whose
// fitted EXACT does not weigh for and DIFFERENT against keeps its start.
// A level never weighs less than the one below it: candidates found by a
// shared value hold many pairs of two people that agree exactly, which
// can push EXACT below CLOSE, though no one would call that evidence.
void fitModel(const std::unordered_map<Pattern, uint64_t>& counts, int rounds, bool fixedU, FsModel* model);

// Fits only the share of true pairs among the candidates, m and u kept.
void fitShare(const std::unordered_map<Pattern, uint64_t>& counts, int rounds, FsModel* model);
