#include "scoring.h"

namespace {

// The pipeline's steps, some candidates apart: the record's bound line
// asked for; the pair bounded from it (most pairs end here) and, if it may
// reach the weight, the record's place and values asked for; its words;
// their facts and the pair's cached levels; the pair compared.
const uint64_t kApart = 4, kBounded = 2 * kApart, kPlaced = kBounded + kApart, kWorded = kPlaced + kApart,
               kCompared = kWorded + kApart, kRing = 32;
static_assert(kCompared < kRing, "a candidate's slot outlives its steps");

// Compares a pair that may reach `atLeast`, keeping it when it does.
bool compareAndKeep(PersonMatcher& matcher, uint32_t x, uint32_t y, double atLeast, std::vector<Candidate>* reached) {
    Candidate pair;
    pair.x = x;
    pair.y = y;
    bool reaches;
    if (!matcher.compare(&pair, atLeast, &reaches)) return false;
    if (reaches) reached->push_back(pair);
    return true;
}

}  // namespace

bool scoreCandidates(PersonMatcher& matcher, const CandidatePairs& found, double atLeast,
                     std::vector<Candidate>* reached) {
    const uint64_t total = found.count();
    struct Slot {
        uint32_t x, y;
        bool mayReach;
    } ring[kRing];
    uint32_t x = 0;
    for (uint64_t i = 0; i < total + kCompared; ++i) {
        if (i >= kCompared) {
            const Slot& slot = ring[(i - kCompared) % kRing];
            if (slot.mayReach && !compareAndKeep(matcher, slot.x, slot.y, atLeast, reached)) return false;
        }
        if (i >= kWorded && i - kWorded < total) {
            const Slot& slot = ring[(i - kWorded) % kRing];
            if (slot.mayReach) {
                matcher.prefetch(slot.y, 3);
                matcher.prefetchLevels(slot.x, slot.y);
            }
        }
        if (i >= kPlaced && i - kPlaced < total) {
            const Slot& slot = ring[(i - kPlaced) % kRing];
            if (slot.mayReach) matcher.prefetch(slot.y, 2);
        }
        if (i >= kBounded && i - kBounded < total) {
            Slot& slot = ring[(i - kBounded) % kRing];
            slot.mayReach = matcher.mayReach(slot.x, slot.y, atLeast);
            if (slot.mayReach) matcher.prefetch(slot.y, 1);
        }
        if (i < total) {
            while (found.start[x + 1] <= i) ++x;
            ring[i % kRing] = {x, found.partners[i], false};
            matcher.prefetch(found.partners[i], 0);
        }
    }
    return true;
}

bool scoreCandidatesPlainly(PersonMatcher& matcher, const CandidatePairs& found, double atLeast,
                            std::vector<Candidate>* reached) {
    for (uint32_t x = 0; x + 1 < found.start.size(); ++x)
        for (uint64_t i = found.start[x]; i < found.start[x + 1]; ++i)
            if (matcher.mayReach(x, found.partners[i], atLeast) &&
                !compareAndKeep(matcher, x, found.partners[i], atLeast, reached))
                return false;
    return true;
}
