// The weights of the matching of people, fitted to the input: u from
// pairs of records drawn at random, m set or refitted to the candidates by
// expectation–maximisation, the prior share of true pairs, and for link
// --best and --one-to-one each A record's rivals and the share of A with a
// partner. model.h holds the model itself.
#pragma once

#include <cstdint>
#include <vector>

#include "candidates.h"
#include "model.h"
#include "person_matcher.h"

// Pairs drawn at random for u: enough to see a date of birth shared by
// chance.
const uint32_t kRandomPairs = 50000;
// And for the --with fields that need no call of the library (all but
// text): enough to see a date's rarer slips made by chance.
const uint32_t kRandomValuePairs = 1000000;

// The model of a run before its candidates are weighed: the set m, u from
// `randomPairs` random pairs (in link one record of A, below `split`, and
// one of B), a prior of one partner per record among the other side's, and
// the names' shares; set as the matcher's model. False on an error answer.
bool setUpModel(PersonMatcher& matcher, uint32_t split, uint32_t randomPairs, FsModel* model);

// For link --best and --one-to-one, where each record of A has at most
// one partner in B: per A record, the sum of its candidates' ratios, and
// the share of A's records that have a partner, fitted to them. B may hold
// one person more than once: the records of B that match an A record's
// heaviest candidate are the same partner, not its rivals, and that
// candidate is scored with their ratios summed.
struct Partners {
    std::vector<double> ratioSums;
    std::vector<uint32_t> heaviest;       // per A record: B's record of its heaviest candidate
    std::vector<double> heaviestRatios;   // the ratios of that record and of B's records that match it
    double share = 0.5;
    double others = 0;  // B's records
    // Per record, the first of its exact copies (PersonMatcher::copies),
    // or null: a copy of the heaviest candidate is that partner too.
    const std::vector<uint32_t>* firstOf = nullptr;
};

// A pair's probability of being one person: against its record's rivals
// when there are `partners`, else on its own.
double pairScore(const FsModel& model, const Partners* partners, const Candidate& pair);

// Each A record's sum of its candidates' ratios, at least that of the
// records of B that tie with it (a record with a part of its name
// missing), and the share of A's records with a partner, under `model`.
void setRatioSums(PersonMatcher& matcher, const FsModel& model, const std::vector<Candidate>& pairs,
                  Partners* partners);

// The m of the model fitted to the candidates of records with at most one
// partner, u held: each candidate counts for its levels by its probability
// among its record's rivals, until m settles. The set m are the error
// rates of records in general; a list whose copies are spoiled more or
// less often, or whose near misses are mostly of one level, weighs its
// levels by what it shows. Where any record may match many, the
// candidates' probabilities say "shares a key" as much as "one person",
// and m stays set; so it does with --with fields, where a date shared by
// chance lifts the candidates that hold it and the fit feeds on itself
// (docs/people.md has the figures).
void fitPartnerLevels(PersonMatcher& matcher, const std::vector<Candidate>& pairs, FsModel* model,
                      Partners* partners);

// The m of the --with fields and the prior share of true pairs, fitted to
// `pairs` by expectation–maximisation with u and the names' m held: each
// pair counts for its fields' levels by its probability of being one
// person, and the share is the pairs' expected count over `allPairs`
// (drawn towards the model's share in a small list), kept within `leastShare` and `mostShare` (outside them the candidates
// scored would not tell: those left out as too light would count). A
// field that agrees by chance as often among one person's records as
// among any (a coin tossed per record) comes to weigh nothing; a list
// with several records a person gets the higher prior it shows. The
// names' m stay set: the candidates were found by their names, so their
// names' levels tell how they were chosen as much as who they are.
// Without `fitM`, the share alone.
void fitValueLevels(const std::vector<Candidate>& pairs, double allPairs, double leastShare, double mostShare,
                    bool fitM, FsModel* model);
// How far the fitted share may move from one partner a record, in bits
// each way: four times as many partners, or a quarter. The candidates
// lighter than the threshold by as much are scored for the fit; the
// lighter ones, namesakes mostly, would count as a little of a partner
// each and, a great many of them, raise the share with nothing but
// their number. (Exact copies, the lists with most partners a record,
// are one record to the matcher.)
const int kShareBits = 2;

// The least weight whose probability on its own reaches `threshold`, a
// hair less for rounding; no bound for a threshold of 0 or 1 (which
// probabilities rounded to 1 reach).
double weightToReach(const FsModel& model, double threshold);

// The same among rivals: a candidate's probability is at most what it
// would be alone with π at its most (kMostShare) in place of the share;
// and as the candidates left out still count with their ratios among
// their record's rivals, only those 2^7 times too light to match alone
// are.
double partnerWeightToReach(uint64_t others, double threshold);

// Fills the heaviest candidate of each A record and the ratios of those of
// its candidates that match it (compared as a pair of B's records); false
// on an error answer. A candidate that weighs a thousandth of the
// heaviest's ratio or less is left out of the comparisons: it cannot move
// the score.
bool findSamePartners(PersonMatcher& matcher, const FsModel& model, const std::vector<Candidate>& pairs,
                      double threshold, Partners* partners);
