#include "explain.h"

#include <cstdio>

std::string decimals(double value, int places) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

std::vector<std::string> comparisonNames(const std::vector<std::string>& withFields) {
    std::vector<std::string> names = {"given", "surname"};
    names.insert(names.end(), withFields.begin(), withFields.end());
    return names;
}

std::string explainPair(const FsModel& model, const Candidate& pair, const std::vector<std::string>& names) {
    std::string text;
    char number[32];
    for (int c = 0; c < model.comparisons; ++c) {
        Level l = levelAt(pair.pattern, c);
        double w = c < kNameComparisons ? model.nameWeight(c, l, pair.holders[c]) : model.weight(c, l);
        const double rarity = c >= kNameComparisons && l == EXACT ? pair.rarityOf(c - kNameComparisons) : 0;
        std::snprintf(number, sizeof number, "%+.1f", w + rarity);
        if (!text.empty()) text += ", ";
        text += names[c] + " " + levelName(l) + " " + (l == MISSING ? std::string("0") : number);
        if (rarity != 0) {
            // The value's own share moved the level's weight.
            std::snprintf(number, sizeof number, " (%s %+.1f)", rarity > 0 ? "rare" : "common", rarity);
            text += number;
        }
        if (c == 1 && pair.crosswise) text += " (crosswise)";
    }
    std::snprintf(number, sizeof number, "%.1f", pairWeight(model, pair));
    return text + " = " + number;
}

std::string weightsText(const FsModel& model, const std::vector<std::string>& names) {
    std::string text =
        "weights log2(m/u) (u from random pairs; exact and close names, exact values by their share): ";
    for (int c = 0; c < model.comparisons; ++c) {
        if (c) text += "; ";
        text += names[c];
        for (int l = kLevels - 1; l >= 0; --l) {
            const Level level = static_cast<Level>(l);
            if (!model.hasLevel(c, level)) continue;
            char number[64];
            std::snprintf(number, sizeof number, " %s %+.1f (m %s, u %s)", levelName(level), model.weight(c, level),
                          share(model.m[c][l]).c_str(), share(model.u[c][l]).c_str());
            text += number;
        }
    }
    return text + "; prior " + decimals(model.share, 6);
}

std::string share(double p) {
    // Three significant digits: 0.880, 0.0312, 0.000105.
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", p);
    return text;
}
