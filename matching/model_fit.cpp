#include "model_fit.h"

#include <algorithm>
#include <cmath>

namespace {

// m moving less than this at every level has settled: a tenth of a bit at
// the rarest level.
const double kSettled = 1e-3;
const int kMostRounds = 20;
// A candidate whose ratio is this many bits below the heaviest's (a
// thousandth) cannot move its record's score.
const double kNegligibleBits = 10;
// A candidate left out of link's scoring still counts among its record's
// rivals; only those this many bits too light to match alone are left out.
const double kRivalBits = 7;

}  // namespace

bool setUpModel(PersonMatcher& matcher, uint32_t split, uint32_t randomPairs, FsModel* model) {
    *model = FsModel::start(matcher.levelMasks());
    std::vector<std::vector<uint64_t>> randomLevels;
    if (!matcher.randomPairLevels(split, randomPairs, &randomLevels)) return false;
    setRandomPairLevels(randomLevels, model);
    // A value's exact agreement by chance is known from the values' counts,
    // to the digit, where random pairs see a date shared twice or not at
    // all: the other levels share what is left.
    for (int c = kNameComparisons; c < model->comparisons; ++c) {
        const double exact = matcher.exactValueShare(c - kNameComparisons, split);
        if (exact <= 0) continue;
        const double others = 1 - model->u[c][EXACT];
        for (int l = 0; l < kLevels; ++l)
            model->u[c][l] = l == EXACT ? exact : model->u[c][l] * (1 - exact) / (others > 0 ? others : 1);
    }
    model->setWeights();
    // Each record has about one partner among the other side's records
    // (in one list, its copies one record).
    const uint64_t others = split ? matcher.records() - split : matcher.distinctRecords() - 1;
    model->share = others > 1 ? 1.0 / others : 0.5;
    // Shares are of the records as the matcher has them: copies once.
    model->records = matcher.distinctRecords();
    for (int c = 0; c < kNameComparisons; ++c) model->codeAgreement[c] = matcher.codeAgreement(c);
    matcher.setModel(*model);
    return true;
}

double pairScore(const FsModel& model, const Partners* partners, const Candidate& pair) {
    double weight = pairWeight(model, pair);
    if (!partners) return model.probability(weight);
    const uint32_t y = partners->firstOf && !partners->firstOf->empty() ? (*partners->firstOf)[pair.y] : pair.y;
    if (partners->heaviest[pair.x] == y)
        return partnersProbability(partners->heaviestRatios[pair.x], partners->ratioSums[pair.x], partners->share);
    return partnerProbability(weight, partners->ratioSums[pair.x], partners->others, partners->share);
}

void setRatioSums(PersonMatcher& matcher, const FsModel& model, const std::vector<Candidate>& pairs,
                  Partners* partners) {
    std::fill(partners->ratioSums.begin(), partners->ratioSums.end(), 0.0);
    for (const Candidate& pair : pairs)
        partners->ratioSums[pair.x] += std::exp2(pairWeight(model, pair)) / partners->others;
    const uint32_t split = static_cast<uint32_t>(partners->ratioSums.size());
    for (uint32_t x = 0; x < split; ++x)
        partners->ratioSums[x] = std::max(partners->ratioSums[x], matcher.tiedRivals(x, split, partners->others));
    partners->share = fitPartnerShare(partners->ratioSums);
}

void fitPartnerLevels(PersonMatcher& matcher, const std::vector<Candidate>& pairs, FsModel* model,
                      Partners* partners) {
    setRatioSums(matcher, *model, pairs, partners);
    std::vector<std::vector<double>> counts;
    for (int round = 0; round < kMostRounds; ++round) {
        counts.assign(model->comparisons, std::vector<double>(kLevels, 0.0));
        for (const Candidate& pair : pairs) {
            const double p = partnerProbability(pairWeight(*model, pair), partners->ratioSums[pair.x],
                                                partners->others, partners->share);
            for (int c = 0; c < model->comparisons; ++c) {
                const Level l = levelAt(pair.pattern, c);
                if (l != MISSING) counts[c][l] += p;
            }
        }
        const std::vector<std::vector<double>> before = model->m;
        setPartnerLevels(counts, model);
        setRatioSums(matcher, *model, pairs, partners);
        double moved = 0;
        for (int c = 0; c < model->comparisons; ++c)
            for (int l = 0; l < kLevels; ++l) moved = std::max(moved, std::fabs(model->m[c][l] - before[c][l]));
        if (moved < kSettled) break;
    }
}

void fitValueLevels(const std::vector<Candidate>& pairs, double allPairs, double leastShare, double mostShare,
                    bool fitM, FsModel* model) {
    const FsModel start = FsModel::start(model->masks);
    const double kStartPairs = 100, startShare = model->share;
    std::vector<std::vector<double>> counts;
    for (int round = 0; round < kMostRounds; ++round) {
        counts.assign(model->comparisons, std::vector<double>(kLevels, 0.0));
        double expected = 0;
        for (const Candidate& pair : pairs) {
            const double p = model->probability(pairWeight(*model, pair));
            expected += p;
            for (int c = kNameComparisons; c < model->comparisons; ++c) {
                const Level l = levelAt(pair.pattern, c);
                if (l != MISSING) counts[c][l] += p;
            }
        }
        double moved = 0;
        for (int c = kNameComparisons; c < model->comparisons && fitM; ++c) {
            double total = kStartPairs;
            for (int l = 0; l < kLevels; ++l) total += counts[c][l];
            for (int l = 0; l < kLevels; ++l) {
                const double m = (counts[c][l] + kStartPairs * start.m[c][l]) / total;
                moved = std::max(moved, std::fabs(m - model->m[c][l]));
                model->m[c][l] = m;
            }
        }
        // Fifty true pairs at the share the model came with are added to
        // what was seen, so that a small list keeps near it.
        const double kStartTrue = 50;
        const double seen = (expected + kStartTrue) / (allPairs + kStartTrue / startShare);
        const double share = std::min({std::max(seen, leastShare), mostShare, kMostShare});
        moved = std::max(moved, std::fabs(std::log2(share / model->share)) / 100);
        model->share = share;
        model->setWeights();
        if (moved < kSettled) break;
    }
}

double weightToReach(const FsModel& model, double threshold) {
    if (threshold <= 0 || threshold >= 1) return -HUGE_VAL;
    return std::log2(threshold / (1 - threshold) * (1 - model.share) / model.share) - 1e-6;
}

double partnerWeightToReach(uint64_t others, double threshold) {
    if (threshold <= 0 || threshold >= 1 || others == 0) return -HUGE_VAL;
    // (1 − π) / π with π at its most.
    return std::log2(static_cast<double>(others) * threshold / (1 - threshold) * kLeastShare / kMostShare) -
           kRivalBits;
}

bool findSamePartners(PersonMatcher& matcher, const FsModel& model, const std::vector<Candidate>& pairs,
                      double threshold, Partners* partners) {
    const size_t split = partners->ratioSums.size();
    std::vector<double> heaviestWeight(split, -1e300);
    partners->heaviest.assign(split, UINT32_MAX);
    for (const Candidate& pair : pairs) {
        double weight = pairWeight(model, pair);
        if (weight > heaviestWeight[pair.x]) heaviestWeight[pair.x] = weight, partners->heaviest[pair.x] = pair.y;
    }
    partners->heaviestRatios.assign(split, 0);
    for (const Candidate& pair : pairs) {
        double weight = pairWeight(model, pair);
        const uint32_t best = partners->heaviest[pair.x];
        bool same = pair.y == best;
        if (!same && weight > heaviestWeight[pair.x] - kNegligibleBits) {
            Candidate inB;
            inB.x = std::min(pair.y, best);
            inB.y = std::max(pair.y, best);
            if (!matcher.compare(&inB)) return false;
            same = model.probability(pairWeight(model, inB)) >= threshold;
        }
        if (same) partners->heaviestRatios[pair.x] += std::exp2(weight) / partners->others;
    }
    return true;
}

double PersonMatcher::tiedRivals(uint32_t record, uint32_t split, double others) {
    const NameWords n = nameOf(record);
    const int part = n.count[0] ? 0 : 1;
    if (!model_ || n.count[0] + n.count[1] != 1) return 0;
    if (splitFrom_ != split) {
        splitFrom_ = split;
        holdersFrom_.assign(facts_.size(), 0);
        std::vector<uint32_t> held;
        for (uint32_t r = split; r < records(); ++r) {
            if (copyOf(r) != r) continue;  // one person's copies: one rival
            const NameWords b = nameOf(r);
            held.assign(b.part[0], b.part[0] + b.count[0]);
            held.insert(held.end(), b.part[1], b.part[1] + b.count[1]);
            sortUnique(&held);
            for (uint32_t w : held) ++holdersFrom_[w];
        }
    }
    const uint32_t w = n.part[part][0];
    // Met as a given name or as a surname (crosswise): the lighter weight.
    const uint32_t holders = facts_[w].holders;
    const double weight = std::min(model_->exactWeight(0, holders), model_->exactWeight(1, holders));
    return holdersFrom_[w] * std::exp2(weight) / others;
}

double PersonMatcher::codeAgreement(int part) const {
    const double n = static_cast<double>(records());
    double sum = 0, counted = 0;
    for (uint32_t r = 0; r < records(); ++r) {
        const NameWords name = nameOf(r);
        uint32_t most = 0;
        for (uint32_t i = 0; i < name.count[part]; ++i) most = std::max(most, facts_[name.part[part][i]].codeHolders);
        if (most == 0) continue;
        sum += (most - 1) / (n - 1);
        ++counted;
    }
    return counted ? sum / counted : 0;
}

bool PersonMatcher::randomPairLevels(uint32_t split, uint32_t count, std::vector<std::vector<uint64_t>>* levels) {
    levels->assign(comparisons(), std::vector<uint64_t>(kLevels, 0));
    const uint32_t all = static_cast<uint32_t>(records());
    // Records drawn by their place in an order of their contents, so that
    // the same records in another order give the same draws: each side
    // sorted by a hash of its words' and values' texts. Copies of a record
    // are drawn as the one record they are to the matcher.
    std::vector<std::pair<uint64_t, uint32_t>> order;
    order.reserve(all);
    uint32_t low = 0;
    for (uint32_t r = 0; r < all; ++r) {
        if (copyOf(r) != r) continue;
        low += !split || r < split;
        uint64_t h = 0xCBF29CE484222325ull;
        auto mix = [&h](std::string_view text) {
            for (unsigned char c : text) h = (h ^ c) * 0x100000001B3ull;
            h = (h ^ 0xFF) * 0x100000001B3ull;
        };
        // A word by its alphabetical place, which its text alone decides.
        const NameWords name = nameOf(r);
        for (int p = 0; p < kParts; ++p)
            for (uint32_t i = 0; i < name.count[p]; ++i) h = (h ^ textRank_[name.part[p][i]]) * 0x100000001B3ull;
        h = (h ^ name.count[0]) * 0x100000001B3ull;
        for (int f = 0; f < withCount_; ++f)
            mix(valuesOf(r)[f] == kNoWord ? std::string_view() : valueText(valuesOf(r)[f]));
        order.push_back({h, r});
    }
    const uint32_t n = static_cast<uint32_t>(order.size());
    const uint32_t high = split ? n - low : n;
    if (low == 0 || high == 0 || n < 2) return true;
    // No more draws than there are pairs: a small list's few pairs drawn
    // over and over would pass for a large list's evidence.
    const uint64_t possible = split ? static_cast<uint64_t>(low) * high : static_cast<uint64_t>(n) * (n - 1) / 2;
    if (count > possible) count = static_cast<uint32_t>(possible);
    const uint32_t bFrom = split ? low : 0;  // where B's records start in `order`
    std::sort(order.begin(), order.begin() + low);
    std::sort(order.begin() + low, order.end());
    uint64_t state = 0x5EED;
    auto next = [&state]() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    };
    for (uint32_t i = 0; i < count; ++i) {
        Candidate pair;
        pair.x = order[next() % low].second;
        pair.y = order[next() % high + bFrom].second;
        if (pair.x == pair.y) continue;
        if (pair.x > pair.y) std::swap(pair.x, pair.y);
        if (!compare(&pair)) return false;
        for (int c = 0; c < comparisons(); ++c) {
            Level l = levelAt(pair.pattern, c);
            if (l != MISSING) ++(*levels)[c][l];
        }
    }
    // A field other than text costs no call: its rare levels (a date's day
    // and month swapped by chance) are counted on many more pairs.
    bool cheap = false;
    for (ValueKind kind : kinds_) cheap |= kind != ValueKind::TEXT;
    if (!cheap) return true;
    const uint64_t more = std::min<uint64_t>(possible, kRandomValuePairs);
    for (int f = 0; f < withCount_; ++f)
        if (kinds_[f] != ValueKind::TEXT) (*levels)[kNameComparisons + f].assign(kLevels, 0);
    for (uint64_t i = 0; i < more; ++i) {
        uint32_t x = order[next() % low].second, y = order[next() % high + bFrom].second;
        if (x == y) continue;
        const uint32_t* a = valuesOf(x);
        const uint32_t* b = valuesOf(y);
        for (int f = 0; f < withCount_; ++f) {
            if (kinds_[f] == ValueKind::TEXT) continue;
            const Level l = valueLevelOf(f, a[f], b[f]);
            if (l != MISSING) ++(*levels)[kNameComparisons + f][l];
        }
    }
    return true;
}

double PersonMatcher::exactValueShare(int field, uint32_t split) const {
    // Two records drawn at random hold one value with the chance summed
    // over the values: h (h - 1) / (n (n - 1)) in one list, hA hB / (nA nB)
    // between two.
    std::vector<uint32_t> inA;
    if (split) {
        inA.assign(valueHolders_[field].size(), 0);
        for (uint32_t r = 0; r < split; ++r)
            if (valuesOf(r)[field] != kNoWord && copyOf(r) == r) ++inA[valuesOf(r)[field]];
    }
    double same = 0, presentA = 0, presentB = 0;
    for (size_t v = 0; v < valueHolders_[field].size(); ++v) {
        const double h = valueHolders_[field][v];
        if (!split) {
            same += h * (h - 1);
            presentA += h;
        } else {
            same += inA[v] * (h - inA[v]);
            presentA += inA[v];
            presentB += h - inA[v];
        }
    }
    const double pairs = split ? presentA * presentB : presentA * (presentA - 1);
    return pairs > 0 ? same / pairs : 0;
}
