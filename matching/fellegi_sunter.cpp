#include "fellegi_sunter.h"

#include <cmath>

FsModel FsModel::start(int comparisons) {
    FsModel model;
    model.comparisons = comparisons;
    // DIFFERENT, SOME, CLOSE, EXACT. m: how often the records of one
    // person show each level, from the error rates that typed, heard and
    // scanned records have (most agree exactly, one in eight or so by an
    // edit or two); names vary more than dates and postcodes, which are
    // mostly copied whole or left out.
    const std::vector<double> nameM = {0.03, 0.05, 0.12, 0.80}, valueM = {0.04, 0.01, 0.07, 0.88};
    const std::vector<double> u = {0.80, 0.12, 0.05, 0.03};
    for (int c = 0; c < comparisons; ++c) model.m.push_back(c < 2 ? nameM : valueM);
    model.u.assign(comparisons, u);
    model.setWeights();
    return model;
}

void FsModel::setWeights() {
    weights.assign(comparisons, std::vector<double>(kLevels));
    for (int c = 0; c < comparisons; ++c)
        for (int l = 0; l < kLevels; ++l) {
            weights[c][l] = std::log2(m[c][l] / u[c][l]);
            if (l > 0 && weights[c][l] < weights[c][l - 1]) weights[c][l] = weights[c][l - 1];
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

double FsModel::probability(double w) const {
    double odds = std::exp2(w) * share / (1 - share);
    return odds / (1 + odds);
}

void setRandomPairLevels(const std::vector<std::vector<uint64_t>>& counts, FsModel* model) {
    for (int c = 0; c < model->comparisons; ++c) {
        double total = 0;
        for (int l = 0; l < kLevels; ++l) total += counts[c][l] + 0.5;
        for (int l = 0; l < kLevels; ++l) model->u[c][l] = (counts[c][l] + 0.5) / total;
    }
    model->setWeights();
}

void fitModel(const std::unordered_map<Pattern, uint64_t>& counts, int rounds, bool fixedU, FsModel* model) {
    const int n = model->comparisons;
    FsModel start = *model;
    for (int round = 0; round < rounds; ++round) {
        // E: each pattern's probability of being one person; M: the
        // levels' shares among the expected true and false pairs. Half a
        // pair of each level keeps every probability above 0.
        std::vector<std::vector<double>> mCount(n, std::vector<double>(kLevels, 0.5));
        std::vector<std::vector<double>> uCount(n, std::vector<double>(kLevels, 0.5));
        double matches = 0, total = 0;
        for (const auto& entry : counts) {
            double g = model->probability(model->weight(entry.first));
            double k = static_cast<double>(entry.second);
            matches += g * k;
            total += k;
            for (int c = 0; c < n; ++c) {
                Level l = levelAt(entry.first, c);
                if (l == MISSING) continue;
                mCount[c][l] += g * k;
                uCount[c][l] += (1 - g) * k;
            }
        }
        if (total == 0) return;
        model->share = std::fmin(std::fmax(matches / total, 1e-6), 0.999);
        for (int c = 0; c < n; ++c) {
            double mSum = 0, uSum = 0;
            for (int l = 0; l < kLevels; ++l) mSum += mCount[c][l], uSum += uCount[c][l];
            for (int l = 0; l < kLevels; ++l) {
                model->m[c][l] = mCount[c][l] / mSum;
                if (!fixedU) model->u[c][l] = uCount[c][l] / uSum;
            }
        }
        model->setWeights();
    }
    for (int c = 0; c < n; ++c)
        if (std::log2(model->m[c][EXACT] / model->u[c][EXACT]) <= 0 ||
            std::log2(model->m[c][DIFFERENT] / model->u[c][DIFFERENT]) >= 0) {
            model->m[c] = start.m[c];
            model->u[c] = start.u[c];
        }
    model->setWeights();
}

void fitShare(const std::unordered_map<Pattern, uint64_t>& counts, int rounds, FsModel* model) {
    for (int round = 0; round < rounds; ++round) {
        double matches = 0, total = 0;
        for (const auto& entry : counts) {
            matches += model->probability(model->weight(entry.first)) * entry.second;
            total += entry.second;
        }
        if (total == 0) return;
        model->share = std::fmin(std::fmax(matches / total, 1e-6), 0.999);
    }
}
