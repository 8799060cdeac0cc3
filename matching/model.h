// The Fellegi–Sunter model of record linkage: each comparison of a pair
// lands on a level; a level is seen with probability m among pairs of one
// person and u among pairs of two, the comparisons independent given the
// class. A level weighs log2(m / u); a pair's weight is the sum, and with
// the prior share p of true pairs, its probability of being one person.
// u is measured on pairs drawn at random from the input, nearly all of two
// people, and a value's exact agreement from the values' counts. The
// names' m is set from the error rates of real records, and where each
// record has at most one partner, refitted to the candidates with u held
// (setPartnerLevels); the --with fields' m and the prior are fitted to
// the candidates by expectation–maximisation, the names' m held
// (fitValueLevels). (Fitting the names' m too over all candidates was
// tried: the candidates were chosen for agreeing on a key, and EM found
// the class "agrees on the key" rather than "one person"; docs/people.md
// has the figures.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "levels.h"
#include "value_kinds.h"

// The name comparisons, the given names and the surnames: the first two
// of a pair, whose exact and close agreements weigh by how rare the words
// are; the --with fields follow them.
const int kNameComparisons = 2;

// A pair's levels, three bits a comparison, the first in the low bits.
typedef uint32_t Pattern;
const int kMaxComparisons = 10;

inline Level levelAt(Pattern p, int c) { return static_cast<Level>((p >> (3 * c)) & 7); }
inline Pattern withLevel(Pattern p, int c, Level l) { return (p & ~(7u << (3 * c))) | (Pattern(l) << (3 * c)); }

// The m of a fresh model, per level DIFFERENT, SOME, CLOSE, EXACT: how
// often the records of one person show each level, from the error rates
// that typed, heard and scanned records have (most agree exactly, one in
// eight or so by an edit or two); names vary more than dates and
// postcodes, which are mostly copied whole or left out. And a u of rare
// agreement, which random pairs of the input replace.
// A nickname (ALIKE) is one given name in a hundred; a date's day and
// month swapped about as often. The m of --with fields are refitted to
// the candidates (fitValueLevels).
const double kNameM[kLevels] = {0.02, 0.05, 0.12, 0.01, 0.80};
const double kValueM[kLevels] = {0.03, 0.01, 0.06, 0.02, 0.88};
const double kStartU[kLevels] = {0.80, 0.12, 0.05, 0.001, 0.029};

// The levels a comparison can land on, a bit each: the names' (with
// ALIKE only where nicknames are known), a --with field's by its kind.
uint8_t levelMask(bool nicknames);
uint8_t levelMask(ValueKind kind);

struct FsModel {
    int comparisons = 0;
    // Per comparison, a bit per level it can land on (levelMask); the
    // others weigh as the level above and hold no m.
    std::vector<uint8_t> masks;
    double share = 0.05;  // p: the prior probability that a pair is one person
    uint64_t records = 0;  // of the input, for the share of a value's holders
    // Per name comparison: the share of the other records that hold the
    // code of a record's name drawn at random (its commonest code).
    double codeAgreement[kNameComparisons] = {0, 0};
    std::vector<std::vector<double>> m, u;  // per comparison, per level below MISSING
    std::vector<std::vector<double>> weights;  // log2(m / u), never above the level above

    // The set m (names first, then the other fields) and a u of rare
    // agreement, which random pairs of the input replace.
    static FsModel start(int comparisons);
    // The same with the levels of each comparison (levelMask).
    static FsModel start(const std::vector<uint8_t>& masks);
    bool hasLevel(int comparison, Level level) const { return (masks[comparison] >> level) & 1; }
    // Sets `weights` from m and u.
    void setWeights();
    // The weight of a level: log2(m / u), 0 for MISSING.
    double weight(int comparison, Level level) const;
    double weight(Pattern pattern) const;
    // The weight of an exact agreement on a value that `holders` records of
    // the input hold: log2(m / u) with u the value's share of the records,
    // the chance that a record drawn at random holds it too (drawn towards
    // the level's u in a small list). Agreeing on a
    // name that one record in ten thousand has says more than agreeing on
    // one that every fiftieth has. Never below the weight of a near miss
    // (a common name still agrees better exactly than by an edit); the
    // level's own weight when `holders` is 0 (not known).
    double exactWeight(int comparison, uint32_t holders) const;
    // The weight of a near miss between words of a code that `holders`
    // records hold: the level's u scaled by the code's share against that
    // of a name drawn at random (codeAgreement), as near misses fall
    // mostly within a code: a slip in a name whose sound few others share
    // is rarely met by chance, one in Smith often. Bounded by the weights
    // of SOME and of an exact agreement on a name as common as the code;
    // the level's own weight when `holders` or codeAgreement is 0.
    double closeWeight(int comparison, uint32_t holders) const;
    // A name comparison's weight: exactWeight, closeWeight or the level's.
    double nameWeight(int comparison, Level level, uint32_t holders) const;
    // A pattern's weight with the holders of the first kNameComparisons
    // comparisons (see Candidate), 0 where not known.
    double weight(Pattern pattern, const uint32_t* holders) const;
    // What an exact agreement on a --with value that `holders` records hold
    // adds to the level's weight: log2 of the level's u over the value's
    // share of the other records (as for names, drawn towards the level's
    // u in a small list). A rare date says more than the level's average,
    // a city where half the records live less; 0 when not known.
    double valueRarity(int comparison, uint32_t holders) const;
    // The probability that a pair of this weight is one person.
    double probability(double weight) const;
};

// When each record of one list has at most one partner among the
// `others` records of the other, and has one at all with probability π
// (`partnerShare`): the probability that the candidate of this weight is
// the partner, given that the record's candidates' ratios 2^weight / others
// sum to `ratioSum` (this one's among them): (π λ) / ((1 − π) + π Σλ),
// λ = 2^weight / others. Rivals of one record share its chance: of two
// candidates alike, neither is likely the one.
double partnerProbability(double weight, double ratioSum, double others, double partnerShare);

// The same for candidates of one record that are one person between them
// (records of the other list that match each other): the chance that the
// partner is one of them, (π Σλ of them) / ((1 − π) + π Σλ of all).
double partnersProbability(double theirRatioSum, double ratioSum, double partnerShare);

// π fitted by expectation–maximisation to each record's sum of ratios (0
// for a record without candidates): the mean of the records' chances of
// having a partner, from an even start until it settles.
// Kept within kLeastShare and kMostShare, off 0 and 1, where either answer
// would stand for good.
double fitPartnerShare(const std::vector<double>& ratioSums);
const double kLeastShare = 0.01, kMostShare = 0.99;

// The m of each comparison from `counts`, per comparison, per level below
// MISSING: each candidate's probability of being one person added to its
// levels' counts (a step of expectation–maximisation with u held). A
// hundred pairs of the set m are added to what was seen, so that a small
// input keeps near it; the weights follow.
void setPartnerLevels(const std::vector<std::vector<double>>& counts, FsModel* model);

// The u of each comparison from pairs of records drawn at random, nearly
// all of two people: `counts` per comparison, per level below MISSING.
void setRandomPairLevels(const std::vector<std::vector<uint64_t>>& counts, FsModel* model);
