// The engine that finds the same person in lists of records. The stages,
// in the order the data flows, each in its own file:
//
//   prepare        a record's name as clean words, given names and
//                  surnames apart; its --with values in the one form of
//                  their field's kind, guessed or given (prepare.h,
//                  value_kinds.h)
//   words          the words of all records, their codes from the library,
//                  how many records hold each (PersonMatcher::add,
//                  person_words.cpp)
//   candidates     the keys of each record and the pairs that share one:
//                  blocking (candidates.h, candidates.cpp)
//   levels         how well two words or two values agree, and the most
//                  they can, from one table of rules (levels.h)
//   bounds         the most a pair can weigh before its names are compared
//                  (bounds.cpp)
//   compare        a pair's levels: names word by word, straight and
//                  crosswise, and the --with fields (compare.cpp)
//   model          the weights: m, u, the prior, each name's and value's
//                  share (model.h); u from random pairs and the values'
//                  counts, the fields' m and the prior fitted by EM, the
//                  rivals of link's records (model_fit.h)
//   scoring        every candidate bounded, compared, weighed (scoring.h)
//   clustering     groups that do not chain (clusters.h), or link's best
//                  partners (pickPartners below)
//   evaluation     the pairs found against a truth column (pair_counts.h)
//   explanation    the words of --explain (explain.h)
//
// The other matching, of single names grouped by a shared code
// (--confirm), is by_code.h.
//
// It takes columns of records (PeopleColumns) and settings, and gives the
// pairs that match with their weights, the fitted model, and groups: the
// command and any other host of the engine call it the same way.
#pragma once

#include <cstdint>
#include <vector>

#include "candidates.h"
#include "clusters.h"
#include "explain.h"
#include "model.h"
#include "model_fit.h"
#include "nicknames.h"
#include "pair_counts.h"
#include "person_matcher.h"
#include "prepare.h"
#include "run_picture.h"

// Which pairs a run looks at: the records of one list among themselves
// (group), or those of A, below `split`, with those of B from it on (link).
struct MatchScope {
    bool link = false;
    uint32_t split = 0;
    bool sameFile = false;  // A and B are one list: no record meets its own copy
};

struct PeopleSettings {
    double threshold = 0.5;  // the probability of being one person a pair must reach
    CandidateBounds bounds;
    // link --best and --one-to-one: each A record has at most one partner,
    // and a pair's probability is among its record's rivals.
    bool onePartner = false;
    // With one partner: m refitted to the candidates (where names are all
    // there is to compare; see fitPartnerLevels).
    bool refitM = false;
    // Keep the candidate pairs (PeopleMatch::found), for a picture of the
    // run (run_picture.h).
    bool keepCandidates = false;
    // Given names and their nicknames (nicknames.h), owned by the caller;
    // null for none.
    const NicknameTable* nicknames = nullptr;
};

struct PeopleMatch {
    std::vector<Candidate> matched;  // the pairs that reach the threshold, by their first record
    FsModel model;
    uint64_t candidates = 0;
    Partners partners;  // with onePartner
    CandidatePairs found;  // with keepCandidates
};

// Candidates, their model, their comparisons and the pairs that reach the
// threshold, for the records added to `matcher`; false on an error answer
// (matcher.error()).
bool matchPeople(PersonMatcher& matcher, const MatchScope& scope, const PeopleSettings& settings, PeopleMatch* out);

// A pair's probability of being one person in this run.
inline double matchScore(const PeopleMatch& match, const PeopleSettings& settings, const Candidate& pair) {
    return pairScore(match.model, settings.onePartner ? &match.partners : nullptr, pair);
}

// Link's pairs, the heaviest first; with `best` each A record's first
// only, with `oneToOne` each B record's first too; then in A's order, each
// A record's pairs heaviest first. `bRecords`: the records of B.
void pickPartners(const FsModel& model, uint32_t split, size_t bRecords, bool best, bool oneToOne,
                  std::vector<Candidate>* matched);
