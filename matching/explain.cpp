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
        std::snprintf(number, sizeof number, "%+.1f", w);
        if (!text.empty()) text += ", ";
        text += names[c] + " " + levelName(l) + " " + (l == MISSING ? std::string("0") : number);
        if (c == 1 && pair.crosswise) text += " (crosswise)";
    }
    std::snprintf(number, sizeof number, "%.1f", pairWeight(model, pair));
    return text + " = " + number;
}

std::string weightsText(const FsModel& model, const std::vector<std::string>& names) {
    std::string text = "weights (u from random pairs; exact and close names by their share): ";
    for (int c = 0; c < model.comparisons; ++c) {
        if (c) text += "; ";
        text += names[c];
        for (int l = kLevels - 1; l >= 0; --l) {
            if (c >= kNameComparisons && l == SOME) continue;  // --with values are never nearly close
            char number[32];
            std::snprintf(number, sizeof number, " %s %+.1f", levelName(static_cast<Level>(l)),
                          model.weight(c, static_cast<Level>(l)));
            text += number;
        }
    }
    return text + "; prior " + decimals(model.share, 6);
}
