// Scoring: every candidate pair bounded against the weight it must reach
// and, if it may reach it, compared by its names and fields.
#pragma once

#include <vector>

#include "candidates.h"
#include "person_matcher.h"

// The pairs of `found` that reach `atLeast` under the matcher's model,
// compared, in the order of `found`; false on an error answer. A
// candidate's other record is anywhere in memory, and waiting for it was
// most of the time of a large list, so the candidates go through a
// pipeline of steps some places apart, each asking the processor for what
// the next one reads.
bool scoreCandidates(PersonMatcher& matcher, const CandidatePairs& found, double atLeast,
                     std::vector<Candidate>* reached);
// The same as one plain loop, a pair at a time: what the pipeline must
// give, for the tests to hold it to.
bool scoreCandidatesPlainly(PersonMatcher& matcher, const CandidatePairs& found, double atLeast,
                            std::vector<Candidate>* reached);
