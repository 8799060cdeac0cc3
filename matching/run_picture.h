// A picture of a run, for a person deciding whether to trust it: every
// candidate pair compared in full (not only those that may reach the
// threshold), its weight and its score as the run scores it, how many
// candidates fell in each level of each comparison, and the pairs nearest
// the threshold on either side.
#pragma once

#include <cstdint>
#include <vector>

#include "candidates.h"
#include "person_matcher.h"

struct PeopleMatch;
struct PeopleSettings;

struct PictureSettings {
    size_t nearest = 10;  // pairs kept on each side of the threshold
};

struct PicturedPair {
    Candidate pair;
    double weight = 0, score = 0;
};

struct RunPicture {
    std::vector<double> weights, scores;  // per candidate, in the order of the candidates
    std::vector<bool> matched;            // per candidate: its score reaches the threshold
    // Per comparison, per level (DIFFERENT to MISSING): the candidates.
    std::vector<std::vector<uint64_t>> levelCounts;
    // Nearest the threshold first: the heaviest that do not reach it, and
    // the lightest that do.
    std::vector<PicturedPair> below, above;
    // Per candidate, its two records (for a truth column).
    std::vector<std::pair<uint32_t, uint32_t>> records;
};

// Compares every candidate of `match.found` (kept with keepCandidates);
// false on an error answer of the library.
bool pictureRun(PersonMatcher& matcher, const PeopleMatch& match, const PeopleSettings& settings,
                const PictureSettings& picture, RunPicture* out);
