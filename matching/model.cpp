#include "model.h"

#include <cmath>

uint8_t levelMask(bool nicknames) {
    uint8_t mask = 0;
    for (int l = 0; l < kLevels; ++l)
        if (l != ALIKE || nicknames) mask |= 1 << l;
    return mask;
}

uint8_t levelMask(ValueKind kind) {
    uint8_t mask = 0;
    for (int l = 0; l < kLevels; ++l)
        if (kindHasLevel(kind, static_cast<Level>(l))) mask |= 1 << l;
    return mask;
}

namespace {

// A share per level, those a comparison lacks left out and the others
// scaled to sum to 1.
std::vector<double> onLevels(const double (&shares)[kLevels], uint8_t mask) {
    std::vector<double> out(kLevels, 0.0);
    double sum = 0;
    for (int l = 0; l < kLevels; ++l)
        if ((mask >> l) & 1) sum += shares[l];
    for (int l = 0; l < kLevels; ++l)
        if ((mask >> l) & 1) out[l] = shares[l] / sum;
    return out;
}

}  // namespace

FsModel FsModel::start(int comparisons) {
    std::vector<uint8_t> masks(comparisons, levelMask(ValueKind::CODE));
    for (int c = 0; c < comparisons && c < kNameComparisons; ++c) masks[c] = levelMask(false);
    return start(masks);
}

FsModel FsModel::start(const std::vector<uint8_t>& masks) {
    FsModel model;
    model.comparisons = static_cast<int>(masks.size());
    model.masks = masks;
    for (int c = 0; c < model.comparisons; ++c) {
        model.m.push_back(onLevels(c < kNameComparisons ? kNameM : kValueM, masks[c]));
        model.u.push_back(onLevels(kStartU, masks[c]));
    }
    model.setWeights();
    return model;
}

void FsModel::setWeights() {
    weights.assign(comparisons, std::vector<double>(kLevels));
    // From the top: a level never weighs more than the one above it (a
    // near miss seen too seldom among random pairs would otherwise weigh
    // more than agreeing); one the comparison lacks weighs as the level
    // above.
    for (int c = 0; c < comparisons; ++c)
        for (int l = kLevels - 1; l >= 0; --l) {
            const Level level = static_cast<Level>(l);
            const double above = l + 1 < kLevels ? weights[c][l + 1] : HUGE_VAL;
            weights[c][l] = hasLevel(c, level) ? std::min(std::log2(m[c][l] / u[c][l]), above) : above;
        }
}

double FsModel::weight(int c, Level level) const {
    if (level == MISSING) return 0;
    return weights[c][level];
}

double FsModel::weight(Pattern pattern) const {
    double w = 0;
    for (int c = 0; c < comparisons; ++c) w += weight(c, levelAt(pattern, c));
    return w;
}

namespace {

// The share of the records other than one that holds a value, when
// `holders` records hold it: the chance that another record drawn at
// random holds it too. The one record itself says nothing of how common
// the value is. Taken with a hundred records of `start`, the share that
// random pairs show: in a list of a few records, the copies of one person
// are most of the holders of their name and would make it look common;
// in a list of thousands they are nothing beside its counts.
double othersShare(uint32_t holders, uint64_t records, double start) {
    const double kStartRecords = 100;
    return (holders - 1 + kStartRecords * start) / (static_cast<double>(records) - 1 + kStartRecords);
}

}  // namespace

double FsModel::exactWeight(int c, uint32_t holders) const {
    if (holders == 0 || records == 0) return weights[c][EXACT];
    double w = std::log2(m[c][EXACT] / othersShare(holders, records, u[c][EXACT]));
    return w > weights[c][CLOSE] ? w : weights[c][CLOSE];
}

double FsModel::closeWeight(int c, uint32_t holders) const {
    const double average = codeAgreement[c];
    if (holders == 0 || records == 0 || average <= 0) return weights[c][CLOSE];
    double share = othersShare(holders, records, average);
    double w = std::log2(m[c][CLOSE] / (u[c][CLOSE] * share / average));
    double most = std::log2(m[c][EXACT] / share);
    if (w > most) w = most;
    return w > weights[c][SOME] ? w : weights[c][SOME];
}

double FsModel::valueRarity(int c, uint32_t holders) const {
    if (holders == 0 || records == 0) return 0;
    return std::log2(u[c][EXACT] / othersShare(holders, records, u[c][EXACT]));
}

double FsModel::nameWeight(int c, Level level, uint32_t holders) const {
    if (level == EXACT) return exactWeight(c, holders);
    if (level == CLOSE) return closeWeight(c, holders);
    return weight(c, level);
}

double FsModel::weight(Pattern pattern, const uint32_t* holders) const {
    double w = 0;
    for (int c = 0; c < comparisons; ++c)
        w += c < kNameComparisons ? nameWeight(c, levelAt(pattern, c), holders[c]) : weight(c, levelAt(pattern, c));
    return w;
}

double FsModel::probability(double w) const {
    double odds = std::exp2(w) * share / (1 - share);
    return odds / (1 + odds);
}

void setRandomPairLevels(const std::vector<std::vector<uint64_t>>& counts, FsModel* model) {
    // Ten pairs of the start's u are added to what was seen: they keep a
    // level never seen in a small input from weighing without bound, and
    // are nothing beside the thousands of pairs of a real list.
    const double kStartPairs = 100;
    for (int c = 0; c < model->comparisons; ++c) {
        double total = kStartPairs;
        for (int l = 0; l < kLevels; ++l) total += counts[c][l];
        for (int l = 0; l < kLevels; ++l) model->u[c][l] = (counts[c][l] + kStartPairs * model->u[c][l]) / total;
    }
    model->setWeights();
}

void setPartnerLevels(const std::vector<std::vector<double>>& counts, FsModel* model) {
    const double kStartPairs = 100;
    const FsModel start = FsModel::start(model->masks);
    for (int c = 0; c < model->comparisons; ++c) {
        double total = kStartPairs;
        for (int l = 0; l < kLevels; ++l) total += counts[c][l];
        for (int l = 0; l < kLevels; ++l) model->m[c][l] = (counts[c][l] + kStartPairs * start.m[c][l]) / total;
    }
    model->setWeights();
}

double partnersProbability(double theirRatioSum, double ratioSum, double partnerShare) {
    return partnerShare * theirRatioSum / ((1 - partnerShare) + partnerShare * ratioSum);
}

double partnerProbability(double weight, double ratioSum, double others, double partnerShare) {
    return partnersProbability(std::exp2(weight) / others, ratioSum, partnerShare);
}

double fitPartnerShare(const std::vector<double>& ratioSums) {
    if (ratioSums.empty()) return 0.5;
    double share = 0.5;
    for (int round = 0; round < 100; ++round) {
        double sum = 0;
        for (double s : ratioSums) sum += share * s / ((1 - share) + share * s);
        double next = sum / static_cast<double>(ratioSums.size());
        next = next < kLeastShare ? kLeastShare : next > kMostShare ? kMostShare : next;
        bool settled = std::fabs(next - share) < 1e-6;
        share = next;
        if (settled) break;
    }
    return share;
}
