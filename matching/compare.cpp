#include "person_matcher.h"

#include <algorithm>

namespace {

// Which of a pair's two readings, straight or crosswise, agrees better: a
// missing part counts as a little more than a different one.
int levelScore(Level l) { return l == MISSING ? 1 : static_cast<int>(l); }

}  // namespace

bool PersonMatcher::askWordLevel(uint32_t a, uint32_t b, Level* level) {
    // Most word pairs of a large list's candidates share too few letters
    // to agree at all, which their letters tell without a call; a word and
    // itself or an initial need no call either.
    WordAnswers answers;
    const Level most = wordPairBound(a, b, &answers.codesAgree);
    const WordFacts& fa = facts_[a];
    const WordFacts& fb = facts_[b];
    if (most == DIFFERENT || most == EXACT || most == ALIKE || fa.length == 1 || fb.length == 1)
        return *level = most, true;
    // Guth's walk is not symmetric: the earlier word first, so that the
    // answer does not depend on which record came first.
    const bool aFirst = before(a, b);
    uint32_t first = aFirst ? a : b, second = aFirst ? b : a;
    uint8_t known;
    if (levels_.find(a, b, &known)) return *level = static_cast<Level>(known), true;
    answers.lengthA = fa.length;
    answers.lengthB = fb.length;
    const char* aText = wordText(a);
    const char* bText = wordText(b);
    answers.transposed = oneTransposition(aText, fa.length, bText, fb.length);
    const char* firstText = aFirst ? aText : bText;
    const char* secondText = aFirst ? bText : aText;
    // The percentage can only raise a level: asked only when the distance
    // leaves the pair below close and the most it can be would raise it.
    if (!calls_.levenshtein(firstText, facts_[first].length, secondText, facts_[second].length,
                            &answers.distance))
        return false;
    *level = wordLevel(answers);
    answers.guthPercent = guthPercentAtMost(facts_[first].letters, facts_[second].letters);
    if (*level != CLOSE && wordLevel(answers) > *level) {
        if (!calls_.guth(firstText, facts_[first].length, secondText, facts_[second].length, 2,
                         &answers.guthPercent))
            return false;
        *level = wordLevel(answers);
    }
    levels_.add(a, b, static_cast<uint8_t>(*level));
    return true;
}

uint32_t PersonMatcher::codeHoldersOf(uint32_t a, uint32_t b) const {
    return std::max(facts_[a].codeHolders, facts_[b].codeHolders);
}

bool PersonMatcher::nameLevel(const NameWords& an, int aPart, const NameWords& bn, int bPart, Level* level,
                              uint32_t* holders) {
    *holders = 0;
    const uint32_t* a = an.part[aPart];
    const uint32_t* b = bn.part[bPart];
    const uint32_t aCount = an.count[aPart], bCount = bn.count[bPart];
    if (aCount == 0 || bCount == 0) return *level = MISSING, true;
    // Every word of the shorter name must be found in the other: its
    // level is the worst of their best matches, so that García López meets
    // García, but Navoleda Pérez does not meet Escolillo Pérez through
    // Pérez alone.
    const bool aShorter = aCount <= bCount;
    const uint32_t* shorter = aShorter ? a : b;
    const uint32_t* longer = aShorter ? b : a;
    const uint32_t shorterCount = aShorter ? aCount : bCount, longerCount = aShorter ? bCount : aCount;
    Level worst = EXACT, l;
    uint32_t rarest = UINT32_MAX, commonestCode = 0;
    for (uint32_t i = 0; i < shorterCount; ++i) {
        const uint32_t x = shorter[i];
        Level best = DIFFERENT;
        uint32_t bestY = x;
        for (uint32_t j = 0; j < longerCount; ++j) {
            if (!askWordLevel(x, longer[j], &l)) return false;
            if (l > best) best = l, bestY = longer[j];
            if (best == EXACT) break;
        }
        if (best < worst) worst = best;
        if (best == EXACT && facts_[x].holders < rarest) rarest = facts_[x].holders;
        if (best == CLOSE) commonestCode = std::max(commonestCode, codeHoldersOf(x, bestY));
    }
    // The parts written as one word (SMITHJONES and SMITH JONES).
    const uint32_t aWhole = an.whole[aPart], bWhole = bn.whole[bPart];
    if (worst < EXACT && (aWhole != kNoWord || bWhole != kNoWord)) {
        uint32_t wholeA = aWhole != kNoWord ? aWhole : a[0], wholeB = bWhole != kNoWord ? bWhole : b[0];
        if (!askWordLevel(wholeA, wholeB, &l)) return false;
        if (l > worst) {
            worst = l;
            rarest = facts_[wholeA].holders;
            commonestCode = codeHoldersOf(wholeA, wholeB);
        }
    }
    *level = worst;
    // The holders of the rarest word agreed on, or of the commonest code
    // of a near miss: the records that would agree with this name about
    // as well as the pair's other record does.
    if (worst == EXACT) *holders = rarest;
    if (worst == CLOSE) *holders = commonestCode;
    return true;
}

bool PersonMatcher::askValueLevel(uint32_t x, uint32_t y, int field, Level* level) {
    const uint32_t a = valuesOf(x)[field], b = valuesOf(y)[field];
    *level = valueLevelOf(field, a, b);
    if (kinds_[field] != ValueKind::TEXT || *level != CLOSE) return true;
    // Text: close by the rules of names' words, else different; a long
    // text (an address) only by being equal.
    const uint64_t key = static_cast<uint64_t>(std::min(a, b)) << 32 | std::max(a, b);
    const auto known = textLevels_.find(key);
    if (known != textLevels_.end()) return *level = static_cast<Level>(known->second), true;
    const std::string_view first = valueText(std::min(a, b)), second = valueText(std::max(a, b));
    const size_t kLongest = 64;
    WordAnswers answers;
    answers.lengthA = first.size();
    answers.lengthB = second.size();
    answers.codesAgree = false;
    answers.transposed = oneTransposition(first.data(), first.size(), second.data(), second.size());
    *level = DIFFERENT;
    if (first.size() <= kLongest && second.size() <= kLongest) {
        if (!calls_.levenshtein(first.data(), first.size(), second.data(), second.size(), &answers.distance) ||
            !calls_.guth(first.data(), first.size(), second.data(), second.size(), 2, &answers.guthPercent))
            return false;
        if (wordLevel(answers) >= CLOSE) *level = CLOSE;
    }
    textLevels_.emplace(key, static_cast<uint8_t>(*level));
    return true;
}

bool PersonMatcher::compare(Candidate* pair, double atLeast, bool* reached) {
    Pattern p = 0;
    for (int f = 0; f < withCount_; ++f) {
        Level l;
        if (!askValueLevel(pair->x, pair->y, f, &l)) return false;
        p = withLevel(p, kNameComparisons + f, l);
        pair->rarity[f] = l == EXACT ? Candidate::eighths(valueRarity(pair->x, f)) : 0;
    }
    // With a weight to reach: given up as soon as the most the pair can
    // still weigh falls short, so that most candidates of a large list
    // cost a few look-ups and no calls. The pair weighs either as its
    // names stand or crosswise (either comparison as the surname). Records
    // of one word a part (most) are bounded from their own lines alone.
    const bool bounded = reached && model_;
    if (reached) *reached = true;
    double values = 0;
    NameBounds most{};
    if (bounded) {
        values = valuesWeight(p, *pair);
        most = namesAtMost(pair->x, pair->y);
        if (values + most.most() < atLeast) return *reached = false, true;
    }
    const NameWords x = nameOf(pair->x), y = nameOf(pair->y);
    Level given, surname, g2 = MISSING, s2 = MISSING;
    uint32_t givenHolders, surnameHolders, g2Holders = 0, s2Holders = 0;
    bool crosswiseAsked = false;
    if (!nameLevel(x, 0, y, 0, &given, &givenHolders)) return false;
    if (bounded) {
        const bool straightShort = values + model_->nameWeight(0, given, givenHolders) + most.surname < atLeast;
        if (straightShort && values + most.crosswise() < atLeast) return *reached = false, true;
        if (straightShort) {
            // Only crosswise can the pair still reach the weight: asked
            // first, each comparison narrowing the bound.
            if (!nameLevel(x, 0, y, 1, &g2, &g2Holders)) return false;
            for (int c = 0; c < kNameComparisons; ++c) most.givenSurname[c] = model_->nameWeight(c, g2, g2Holders);
            if (values + most.crosswise() < atLeast) return *reached = false, true;
            if (!nameLevel(x, 1, y, 0, &s2, &s2Holders)) return false;
            for (int c = 0; c < kNameComparisons; ++c) most.surnameGiven[c] = model_->nameWeight(c, s2, s2Holders);
            if (values + most.crosswise() < atLeast) return *reached = false, true;
            crosswiseAsked = true;
        }
    }
    if (!nameLevel(x, 1, y, 1, &surname, &surnameHolders)) return false;
    pair->crosswise = false;
    // Given name and surname swapped in one record: compared crosswise,
    // kept when that agrees better. Names that agree closely as they
    // stand are not asked again.
    if (!(given >= CLOSE && given != MISSING && surname >= CLOSE && surname != MISSING)) {
        if (bounded && !crosswiseAsked) {
            double straight = model_->nameWeight(0, given, givenHolders) + model_->nameWeight(1, surname, surnameHolders);
            if (values + std::max(straight, most.crosswise()) < atLeast) return *reached = false, true;
        }
        if (!crosswiseAsked &&
            (!nameLevel(x, 0, y, 1, &g2, &g2Holders) || !nameLevel(x, 1, y, 0, &s2, &s2Holders)))
            return false;
        if (levelScore(g2) + levelScore(s2) > levelScore(given) + levelScore(surname)) {
            // Which of the two counts as the surname is a matter of which
            // record came first; the better one does, so that a pair
            // weighs the same either way round (of two exact ones, the
            // rarer).
            bool firstBetter = g2 > s2 || (g2 == s2 && g2Holders < s2Holders);
            given = firstBetter ? s2 : g2;
            surname = firstBetter ? g2 : s2;
            givenHolders = firstBetter ? s2Holders : g2Holders;
            surnameHolders = firstBetter ? g2Holders : s2Holders;
            pair->crosswise = true;
        }
    }
    pair->holders[0] = givenHolders;
    pair->holders[1] = surnameHolders;
    pair->pattern = withLevel(withLevel(p, 0, given), 1, surname);
    return true;
}
