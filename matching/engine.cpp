#include "engine.h"

#include <algorithm>

#include "scoring.h"
#include "../records/bucket_index.h"

namespace {

// With one partner per A record: each candidate weighed among its
// record's rivals, and those that reach the threshold kept.
bool scoreAmongRivals(PersonMatcher& matcher, const std::vector<Candidate>& pairs, uint64_t others,
                      uint32_t split, const PeopleSettings& settings, PeopleMatch* out) {
    Partners* partners = &out->partners;
    partners->others = static_cast<double>(others);
    partners->ratioSums.assign(split, 0);
    if (settings.refitM) fitPartnerLevels(matcher, pairs, &out->model, partners);
    else setRatioSums(matcher, out->model, pairs, partners);
    if (!findSamePartners(matcher, out->model, pairs, settings.threshold, partners)) return false;
    for (const Candidate& pair : pairs)
        if (pairScore(out->model, partners, pair) >= settings.threshold) out->matched.push_back(pair);
    return true;
}

// In link, each pair of two records stands for the pairs of their copies
// too (copyOf: PersonMatcher::copies): every copy of its A record with
// every copy of its B record, weighed alike, and an A copy with the
// rivals of its first.
void addCopiesOfPairs(const std::vector<uint32_t>& copyOf, uint32_t split, Partners* partners,
                      std::vector<Candidate>* matched) {
    if (copyOf.empty()) return;
    std::vector<uint32_t> start, members;
    bucketIndex(static_cast<uint32_t>(copyOf.size()), [&](auto place) {
        for (uint32_t r = 0; r < copyOf.size(); ++r)
            if (copyOf[r] != r) place(copyOf[r], r);
    }, &start, &members);
    if (members.empty()) return;
    if (partners) {
        partners->firstOf = &copyOf;
        for (uint32_t x = 0; x < split; ++x) {
            const uint32_t first = copyOf[x];
            if (first == x) continue;
            partners->ratioSums[x] = partners->ratioSums[first];
            partners->heaviest[x] = partners->heaviest[first];
            partners->heaviestRatios[x] = partners->heaviestRatios[first];
        }
    }
    const size_t firsts = matched->size();
    for (size_t i = 0; i < firsts; ++i) {
        const Candidate pair = (*matched)[i];
        for (uint32_t a = 0; a <= start[pair.x + 1] - start[pair.x]; ++a)
            for (uint32_t b = 0; b <= start[pair.y + 1] - start[pair.y]; ++b) {
                if (a == 0 && b == 0) continue;  // the pair itself
                Candidate copy = pair;
                copy.x = a == 0 ? pair.x : members[start[pair.x] + a - 1];
                copy.y = b == 0 ? pair.y : members[start[pair.y] + b - 1];
                matched->push_back(copy);
            }
    }
    // By their first record, as the pairs came.
    std::stable_sort(matched->begin(), matched->end(),
                     [](const Candidate& p, const Candidate& q) { return p.x < q.x; });
}

}  // namespace

bool matchPeople(PersonMatcher& matcher, const MatchScope& scope, const PeopleSettings& settings, PeopleMatch* out) {
    CandidatePairs found;
    // A link with an empty side has no pairs; the matcher would take a split
    // of 0 for one list and pair B's records among themselves.
    const uint32_t split = scope.split;
    // Exact copies are one record to the candidates (and one group or
    // one partner after): a record imported a thousand times would
    // otherwise hold a key too many for all its pairs to be made.
    if (!scope.link || (split > 0 && split < matcher.records())) {
        matcher.markCopies(split);
        matcher.candidates(split, scope.sameFile, settings.bounds, &found);
    }
    out->candidates = found.count();
    out->matched.clear();
    if (!setUpModel(matcher, split, kRandomPairs, &out->model)) return false;
    const uint64_t others = split ? matcher.records() - split : matcher.records() - 1;
    // Without partners each pair is scored on its own, and as the prior is
    // fitted below, the pairs it may lift over the threshold are scored
    // too; with partners every candidate's weight counts, and all are kept
    // but those too light to count.
    const double startShare = out->model.share;
    const double atLeast = settings.onePartner ? partnerWeightToReach(others, settings.threshold)
                                               : weightToReach(out->model, settings.threshold) - kShareBits;
    std::vector<Candidate> reached;
    if (!scoreCandidates(matcher, found, atLeast, &reached)) return false;
    if (settings.keepCandidates) out->found = std::move(found);
    found = CandidatePairs();
    const double n = static_cast<double>(split ? matcher.records() : matcher.distinctRecords());
    const double allPairs = split ? static_cast<double>(split) * (n - split) : n * (n - 1) / 2;
    if (settings.onePartner) {
        // Among rivals the share of A with a partner is fitted on its own.
        if (matcher.comparisons() > kNameComparisons) fitValueLevels(reached, allPairs, startShare, startShare, true, &out->model);
        if (!scoreAmongRivals(matcher, reached, others, split, settings, out)) return false;
        addCopiesOfPairs(matcher.copies(), split, &out->partners, &out->matched);
        return true;
    }
    // m first at the set prior, then the prior with m held: fitted
    // together, pairs of namesakes that the prior lets in raise the m of a
    // date that differs, which lets more of them in.
    fitValueLevels(reached, allPairs, startShare, startShare, true, &out->model);
    fitValueLevels(reached, allPairs, std::exp2(-kShareBits) * startShare, std::exp2(kShareBits) * startShare, false,
                   &out->model);
    for (const Candidate& pair : reached)
        if (pairScore(out->model, nullptr, pair) >= settings.threshold) out->matched.push_back(pair);
    if (scope.link) addCopiesOfPairs(matcher.copies(), split, nullptr, &out->matched);
    return true;
}

void pickPartners(const FsModel& model, uint32_t split, size_t bRecords, bool best, bool oneToOne,
                  std::vector<Candidate>* matched) {
    std::stable_sort(matched->begin(), matched->end(), [&](const Candidate& x, const Candidate& y) {
        return pairWeight(model, x) > pairWeight(model, y);
    });
    if (best || oneToOne) {
        std::vector<bool> aTaken(split, false), bTaken(bRecords, false);
        std::vector<Candidate> kept;
        for (const Candidate& c : *matched) {
            if (aTaken[c.x] || (oneToOne && bTaken[c.y - split])) continue;
            aTaken[c.x] = true;
            bTaken[c.y - split] = true;
            kept.push_back(c);
        }
        matched->swap(kept);
    }
    std::stable_sort(matched->begin(), matched->end(), [](const Candidate& x, const Candidate& y) { return x.x < y.x; });
}
