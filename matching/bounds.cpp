#include "person_matcher.h"

#include <algorithm>
#include <cmath>

Level PersonMatcher::wordPairBound(uint32_t a, uint32_t b, bool* codesAgree) const {
    if (a == b) return EXACT;
    const WordFacts& fa = facts_[a];
    const WordFacts& fb = facts_[b];
    // An initial agrees a little with a word of its letter; nothing to ask.
    // (A word of one letter: its dot went with the clean-up.)
    if (fa.length == 1 || fb.length == 1) return fa.first == fb.first ? SOME : DIFFERENT;
    if (fa.nicknamed && fb.nicknamed && nicknamed(a, b)) return ALIKE;
    *codesAgree = shareACode(fa.code, fb.code, kNoWord);
    // Guth's walk is not symmetric: the earlier word first, as asked.
    return before(a, b) ? wordLevelAtMost(fa.letters, fb.letters, *codesAgree)
                 : wordLevelAtMost(fb.letters, fa.letters, *codesAgree);
}

void PersonMatcher::setModel(const FsModel& model) {
    model_ = &model;
    wordWeights_.resize(facts_.size());
    for (size_t w = 0; w < facts_.size(); ++w)
        for (int c = 0; c < kNameComparisons; ++c) {
            wordWeights_[w].exact[c] = model.exactWeight(c, facts_[w].holders);
            wordWeights_[w].close[c] =
                std::max(model.weight(c, CLOSE), model.closeWeight(c, std::max<uint32_t>(facts_[w].codeHolders, 1)));
        }
    recordBounds_.resize(records());
    // Equal codes fold to equal numbers, so that folded codes agree
    // whenever the codes do (and seldom otherwise).
    auto fold = [](uint32_t code) {
        return static_cast<uint16_t>(code == kNoWord ? 0 : code % 0xFFFF + 1);
    };
    for (uint32_t r = 0; r < records(); ++r) {
        const NameWords n = nameOf(r);
        RecordBound& b = recordBounds_[r];
        for (int p = 0; p < kParts; ++p) {
            const bool single = n.count[p] <= 1 && n.whole[p] == kNoWord;
            const uint32_t w = n.count[p] ? n.part[p][0] : kNoWord;
            b.word[p] = w;
            b.codes[p][0] = single && w != kNoWord ? fold(facts_[w].code[0]) : 0;
            b.codes[p][1] = single && w != kNoWord ? fold(facts_[w].code[1]) : 0;
            b.letters[p] = !single ? 0 : w != kNoWord ? facts_[w].letters | RecordBound::kSingle : RecordBound::kSingle;
            if (single && w != kNoWord && facts_[w].nicknamed) b.letters[p] |= RecordBound::kNicknamed;
            // Over the part's words, the whole one too: the most any of
            // them weighs, and which ones it holds.
            double exact[2] = {-HUGE_VAL, -HUGE_VAL}, close[2] = {-HUGE_VAL, -HUGE_VAL};
            for (uint32_t i = 0; i <= n.count[p]; ++i) {
                const uint32_t v = i < n.count[p] ? n.part[p][i] : n.whole[p];
                if (v == kNoWord) continue;
                if (!single) b.letters[p] |= wordBit(v);
                for (int c = 0; c < kNameComparisons; ++c) {
                    exact[c] = std::max(exact[c], wordWeights_[v].exact[c]);
                    close[c] = std::max(close[c], wordWeights_[v].close[c]);
                }
            }
            for (int c = 0; c < kNameComparisons; ++c) {
                b.exact[p][c] = RecordBound::up(w == kNoWord ? 0 : exact[c]);
                b.close[p][c] = RecordBound::up(w == kNoWord ? 0 : close[c]);
            }
        }
        for (int f = 0; f < RecordBound::kValues; ++f) b.values[f] = f < withCount_ ? valuesOf(r)[f] : kNoWord;
    }
    for (int c = 0; c < kNameComparisons; ++c) {
        atMost_[c][DIFFERENT] = model.weight(c, DIFFERENT);
        atMost_[c][SOME] = std::max(atMost_[c][DIFFERENT], model.weight(c, SOME));
        alike_[c] = model.weight(c, ALIKE);
    }
    valueWeights_.clear();
    valueRarity_.assign(withCount_, {});
    for (int f = 0; f < withCount_; ++f) {
        for (int l = 0; l < kLevels; ++l) valueWeights_.push_back(model.weight(kNameComparisons + f, static_cast<Level>(l)));
        // As the pairs carry it, rounded to eighths, so that a bound is
        // the weight the pair will have.
        for (uint32_t holders : valueHolders_[f])
            valueRarity_[f].push_back(
                static_cast<float>(Candidate::eighths(model.valueRarity(kNameComparisons + f, holders)) / 8.0));
    }
}

Level PersonMatcher::lineLevelAtMost(const RecordBound& a, int aPart, const RecordBound& b, int bPart,
                                     bool letters) const {
    const uint32_t wa = a.word[aPart], wb = b.word[bPart];
    // Short of an exact agreement: a nickname where the table may hold one.
    const Level nearMiss = nicknames_ ? ALIKE : CLOSE;
    if (wa == kNoWord || wb == kNoWord) return MISSING;
    if (!a.single(aPart) || !b.single(bPart)) return a.words(aPart) & b.words(bPart) ? EXACT : nearMiss;
    if (wa == wb) return EXACT;
    if (!letters) return nearMiss;
    if (a.nicknamed(aPart) && b.nicknamed(bPart) && nicknamed(wa, wb)) return ALIKE;
    const uint64_t pa = a.profile(aPart), pb = b.profile(bPart);
    // An initial agrees at most a little (see wordPairBound); otherwise the
    // earlier word is Guth's first, as asked.
    if (profileLength(pa) == 1 || profileLength(pb) == 1) return SOME;
    const bool codesMayAgree = shareACode(a.codes[aPart], b.codes[bPart], uint16_t{0});
    return before(wa, wb) ? wordLevelAtMost(pa, pb, codesMayAgree) : wordLevelAtMost(pb, pa, codesMayAgree);
}

double PersonMatcher::linePartBound(int c, const RecordBound& a, int aPart, const RecordBound& b, int bPart,
                                    Level most) const {
    if (most == MISSING) return 0;
    if (most < CLOSE) return atMost_[c][most];
    double close = std::max(RecordBound::weight(std::min(a.close[aPart][c], b.close[bPart][c])), atMost_[c][SOME]);
    if (most >= ALIKE) close = std::max(close, alike_[c]);
    return most == EXACT ? std::max(close, RecordBound::weight(std::min(a.exact[aPart][c], b.exact[bPart][c])))
                         : close;
}

bool PersonMatcher::mayReach(uint32_t x, uint32_t y, double atLeast) const {
    const RecordBound& a = recordBounds_[x];
    const RecordBound& b = recordBounds_[y];
    double values = 0;
    for (int f = 0; f < withCount_; ++f) {
        const bool inLine = f < RecordBound::kValues;
        const uint32_t va = inLine ? a.values[f] : valuesOf(x)[f];
        const Level l = valueLevelOf(f, va, inLine ? b.values[f] : valuesOf(y)[f]);
        if (l != MISSING) values += valueWeights_[f * kLevels + l];
        if (l == EXACT) values += valueRarity_[f][va];
    }
    // First from the words alone, then from their letters too.
    Level levels[kParts][kParts];
    for (int letters = 0; letters < 2; ++letters) {
        for (int p = 0; p < kParts; ++p)
            for (int q = 0; q < kParts; ++q) levels[p][q] = lineLevelAtMost(a, p, b, q, letters);
        const NameBounds most = nameBounds([&](int c, int aPart, int bPart) {
            return linePartBound(c, a, aPart, b, bPart, levels[aPart][bPart]);
        });
        if (values + most.most() < atLeast) return false;
    }
    return true;
}

Level PersonMatcher::partLevelAtMost(const NameWords& an, int aPart, const NameWords& bn, int bPart) const {
    // As nameLevel finds the level, each word pair's level bounded.
    const uint32_t aCount = an.count[aPart], bCount = bn.count[bPart];
    if (aCount == 0 || bCount == 0) return MISSING;
    const bool aShorter = aCount <= bCount;
    const uint32_t* shorter = aShorter ? an.part[aPart] : bn.part[bPart];
    const uint32_t* longer = aShorter ? bn.part[bPart] : an.part[aPart];
    const uint32_t shorterCount = aShorter ? aCount : bCount, longerCount = aShorter ? bCount : aCount;
    Level worst = EXACT;
    bool agree;
    for (uint32_t i = 0; i < shorterCount && worst > DIFFERENT; ++i) {
        Level best = DIFFERENT;
        for (uint32_t j = 0; j < longerCount && best < EXACT; ++j)
            best = std::max(best, wordPairBound(shorter[i], longer[j], &agree));
        worst = std::min(worst, best);
    }
    const uint32_t aWhole = an.whole[aPart], bWhole = bn.whole[bPart];
    if (worst < EXACT && (aWhole != kNoWord || bWhole != kNoWord))
        worst = std::max(worst, wordPairBound(aWhole != kNoWord ? aWhole : an.part[aPart][0],
                                                bWhole != kNoWord ? bWhole : bn.part[bPart][0], &agree));
    return worst;
}

void PersonMatcher::partWeights(const NameWords& a, int aPart, const NameWords& b, int bPart, PartWeights* out) const {
    // A near miss weighs by the more common code of its two words, at
    // least as common as the rarest code of either side; an exact
    // agreement by the rarest word agreed on, a word both sides hold.
    // Both weights fall as the holders grow.
    const uint32_t aCount = a.count[aPart], bCount = b.count[bPart];
    double closeA[2] = {-HUGE_VAL, -HUGE_VAL}, closeB[2] = {-HUGE_VAL, -HUGE_VAL};
    out->exact[0] = out->exact[1] = -HUGE_VAL;
    for (uint32_t i = 0; i <= aCount; ++i) {
        const uint32_t w = i < aCount ? a.part[aPart][i] : a.whole[aPart];
        if (w == kNoWord) continue;
        const WordWeights& weights = wordWeights_[w];
        bool shared = false;
        for (uint32_t j = 0; j <= bCount && !shared; ++j)
            shared = w == (j < bCount ? b.part[bPart][j] : b.whole[bPart]);
        for (int c = 0; c < kNameComparisons; ++c) {
            closeA[c] = std::max(closeA[c], weights.close[c]);
            if (shared) out->exact[c] = std::max(out->exact[c], weights.exact[c]);
        }
    }
    for (uint32_t j = 0; j <= bCount; ++j) {
        const uint32_t w = j < bCount ? b.part[bPart][j] : b.whole[bPart];
        if (w == kNoWord) continue;
        for (int c = 0; c < kNameComparisons; ++c) closeB[c] = std::max(closeB[c], wordWeights_[w].close[c]);
    }
    for (int c = 0; c < kNameComparisons; ++c) out->close[c] = std::min(closeA[c], closeB[c]);
}

double PersonMatcher::partBound(int c, const PartWeights& weights, Level most) const {
    if (most == MISSING) return 0;
    if (most < CLOSE) return atMost_[c][most];
    const double close = std::max(weights.close[c], atMost_[c][SOME]);
    return std::max({most >= ALIKE ? std::max(close, alike_[c]) : close, most == EXACT ? weights.exact[c] : close});
}

double PersonMatcher::valuesWeight(Pattern p, const Candidate& pair) const {
    double values = 0;
    for (int f = 0; f < withCount_; ++f) {
        Level l = levelAt(p, kNameComparisons + f);
        if (l != MISSING) values += valueWeights_[f * kLevels + l];
        if (l == EXACT) values += pair.rarityOf(f);
    }
    return values;
}

PersonMatcher::NameBounds PersonMatcher::namesAtMost(uint32_t x, uint32_t y) const {
    const RecordBound& a = recordBounds_[x];
    const RecordBound& b = recordBounds_[y];
    const bool simple = a.simple() && b.simple();
    NameWords xn, yn;
    if (!simple) xn = nameOf(x), yn = nameOf(y);
    // The highest level of each part pair, from the words' letters and
    // codes, and the most it weighs (for a near miss or better, from the
    // words' weights).
    Level levels[kParts][kParts];
    PartWeights weights[kParts][kParts];
    for (int p = 0; p < kParts; ++p)
        for (int q = 0; q < kParts; ++q) {
            levels[p][q] = simple ? lineLevelAtMost(a, p, b, q, true) : partLevelAtMost(xn, p, yn, q);
            if (!simple && levels[p][q] >= CLOSE && levels[p][q] != MISSING) partWeights(xn, p, yn, q, &weights[p][q]);
        }
    return nameBounds([&](int c, int aPart, int bPart) {
        return simple ? linePartBound(c, a, aPart, b, bPart, levels[aPart][bPart])
                      : partBound(c, weights[aPart][bPart], levels[aPart][bPart]);
    });
}
