// The bounds that let the matching of people give up a candidate before
// its names are compared: a pair of words found different from their
// letters is different by the library's answers, a pair given up could not
// have weighed what was asked, and a pair compared under a bound has the
// pattern of a full comparison.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../../host/host_calls.h"
#include "../../matching/engine.h"
#include "../../matching/scoring.h"
#include "../../matching/levels.h"

namespace {

// Names and their slips: a letter dropped, doubled, changed or swapped with
// its neighbour, and a few spellings far apart, so that the pairs fall on
// every side of each level's edges (a fifth, two fifths and half of the
// letters; 60 and 80 percent).
std::vector<std::string> wordsAndSlips() {
    std::vector<std::string> words = {"SMITH",   "SMYTH",   "JONES",    "JOHNSON", "JOHNSTON", "MEYER",  "MAIER",
                                      "CATHERINE", "KATHRYN", "MACDONALD", "MCDONALD", "ANNA", "HANNAH", "AB",
                                      "ABBBBB",  "BERG",    "VANDENBERG", "TOMASZ", "TOMSAZ", "NOWAK",  "LEE",
                                      "LI",      "OCONNOR", "CONNOR",   "ELISABETH", "BETH", "ZZ", "ROSSI"};
    std::mt19937 random(7);
    const size_t names = words.size();
    for (size_t i = 0; i < names; ++i)
        for (int slip = 0; slip < 4; ++slip) {
            std::string w = words[i];
            size_t at = random() % w.size();
            if (slip == 0 && w.size() > 2) w.erase(at, 1);
            if (slip == 1) w.insert(at, 1, w[at]);
            if (slip == 2) w[at] = static_cast<char>('A' + random() % 26);
            if (slip == 3 && at + 1 < w.size()) std::swap(w[at], w[at + 1]);
            words.push_back(w);
        }
    return words;
}

// The library and its function table, as any host of the engine opens them.
class WithLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openLibrary(nullptr, &library, &error)) << error;
        table = readFunctionTable(library);
    }
    Library library;
    std::string error;
    std::vector<FunctionRow> table;
    static std::string asIs(const std::string& name) { return name; }

    void openMatcher(PersonMatcher* matcher) {
        MatchFunctions functions;
        ASSERT_TRUE(findMatchFunctions(table, KeyKind::DMETAPHONE, asIs, &functions, &error)) << error;
        matcher->open(library, functions);
    }
};
using WordLevelBound = WithLibrary;
using WeightBound = WithLibrary;

TEST_F(WordLevelBound, NeverBelowTheLibrarysLevel) {
    MatchCalls calls;
    MatchFunctions functions;
    ASSERT_TRUE(findMatchFunctions(table, KeyKind::DMETAPHONE, asIs, &functions, &error)) << error;
    calls.open(library, functions, KeyKind::DMETAPHONE, 4);

    const std::vector<std::string> words = wordsAndSlips();
    std::vector<std::vector<std::string>> codes;
    for (const std::string& w : words) {
        std::string first, second;
        ASSERT_TRUE(calls.codes(w.data(), w.size(), &first, &second));
        codes.push_back({first, second.empty() ? first : second});
    }
    int different = 0, proven = 0;
    for (size_t i = 0; i < words.size(); ++i)
        for (size_t j = 0; j < words.size(); ++j) {
            const std::string &a = words[i], &b = words[j];
            if (a == b) continue;
            WordAnswers answers;
            answers.lengthA = a.size();
            answers.lengthB = b.size();
            answers.codesAgree = shareACode(codes[i].data(), codes[j].data(), std::string());
            answers.transposed = oneTransposition(a.data(), a.size(), b.data(), b.size());
            ASSERT_TRUE(calls.levenshtein(a.data(), a.size(), b.data(), b.size(), &answers.distance));
            ASSERT_TRUE(calls.guth(a.data(), a.size(), b.data(), b.size(), 2, &answers.guthPercent));
            EXPECT_LE(answers.guthPercent,
                      guthPercentAtMost(letterProfile(a.data(), a.size()), letterProfile(b.data(), b.size())))
                << a << " " << b;
            const Level level = wordLevel(answers);
            const Level most = wordLevelAtMost(letterProfile(a.data(), a.size()), letterProfile(b.data(), b.size()),
                                               answers.codesAgree);
            EXPECT_LE(level, most) << a << " " << b << ": " << levelName(level) << " above " << levelName(most)
                                   << " (distance " << answers.distance << ", Guth " << answers.guthPercent << ")";
            different += level == DIFFERENT;
            proven += most == DIFFERENT;
        }
    // Most pairs the library finds different, the letters find so too.
    EXPECT_GT(proven, different / 2) << proven << " of " << different;

    // Bytes the library would drop or change tell nothing.
    EXPECT_EQ(letterProfile("M\xDCLLER", 6), 0u);
    EXPECT_EQ(letterProfile("O'BRIEN", 7), 0u);
    EXPECT_EQ(wordLevelAtMost(letterProfile("SMITH", 5), 0, false), CLOSE);
    EXPECT_EQ(wordLevelAtMost(letterProfile("SMITH", 5), letterProfile("JONES", 5), false), DIFFERENT);
}

// Records of every kind the bounds tell apart: spellings, initials,
// swapped and missing parts, joined surnames, dates equal, near and far;
// added to `matcher`, whose model is then set up.
void addRecords(PersonMatcher& matcher, FsModel* model) {
    // Spellings, initials, swapped and missing parts, joined surnames,
    // dates equal, near and far.
    const std::vector<std::vector<std::string>> names = {
        {"John", "Smith"}, {"Jon", "Smyth"},     {"J", "Smith"},        {"Smith", "John"}, {"Johan", "Smith-Jones"},
        {"John", "SmithJones"}, {"Mary Ann", "Jones"}, {"Marie", "Jones"}, {"Ann", "Jones"},  {"", "Jones"},
        {"Mary", ""},       {"Anna", "van der Berg"}, {"Ana", "Vandenberg"}, {"Tomasz", "Nowak"}, {"Tomsaz", "Nowak"},
    };
    const std::vector<std::string> dates = {"19800101", "19800110", "19810101", ""};
    PeopleColumns people;
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t d = 0; d < dates.size(); d += 1 + i % 2) {
            people.names.push_back(personName(names[i]));
            people.values.push_back({dates[(d + i) % dates.size()]});
        }
    ASSERT_TRUE(matcher.add(people)) << matcher.error();
    ASSERT_TRUE(setUpModel(matcher, 0, 1000, model)) << matcher.error();
}

TEST_F(WeightBound, NeverBelowTheWeight) {
    PersonMatcher matcher;
    openMatcher(&matcher);
    FsModel model;
    addRecords(matcher, &model);

    int givenUp = 0, pairs = 0;
    for (uint32_t x = 0; x < matcher.records(); ++x)
        for (uint32_t y = x + 1; y < matcher.records(); ++y) {
            Candidate full;
            full.x = x, full.y = y;
            ASSERT_TRUE(matcher.compare(&full));
            const double weight = pairWeight(model, full);
            // (A hair under the weight: the bound adds the same weights in
            // another order.)
            for (double atLeast : {weight - 0.5, weight - 1e-9, weight + 0.5}) {
                if (atLeast < weight) {
                    EXPECT_TRUE(matcher.mayReach(x, y, atLeast)) << x << " " << y << " weighs " << weight;
                }
                Candidate bounded;
                bounded.x = x, bounded.y = y;
                bool reached = false;
                ASSERT_TRUE(matcher.compare(&bounded, atLeast, &reached));
                if (atLeast < weight) {
                    ASSERT_TRUE(reached) << x << " " << y << " weighs " << weight;
                }
                if (!reached) {
                    ++givenUp;
                    continue;
                }
                EXPECT_EQ(bounded.pattern, full.pattern) << x << " " << y;
                EXPECT_EQ(bounded.crosswise, full.crosswise) << x << " " << y;
                EXPECT_EQ(bounded.holders[0], full.holders[0]) << x << " " << y;
                EXPECT_EQ(bounded.holders[1], full.holders[1]) << x << " " << y;
            }
            ++pairs;
        }
    // The bounds are tight enough to give up pairs at all.
    EXPECT_GT(givenUp, pairs / 10);
}

// The scoring pipeline reads ahead of the pair it compares: it must keep
// exactly the pairs, in the order, that a plain loop over the candidates
// keeps, with the same comparisons.
TEST_F(WeightBound, PipelineKeepsWhatThePlainLoopKeeps) {
    PersonMatcher matcher;
    openMatcher(&matcher);
    FsModel model;
    addRecords(matcher, &model);
    CandidatePairs found;
    CandidateBounds bounds;
    bounds.blockLimit = 3;  // windows too
    matcher.candidates(0, false, bounds, &found);
    ASSERT_GT(found.count(), 40u);  // more than the pipeline holds at once
    for (double atLeast : {-HUGE_VAL, weightToReach(model, 0.5), weightToReach(model, 0.99)}) {
        std::vector<Candidate> piped, plain;
        ASSERT_TRUE(scoreCandidates(matcher, found, atLeast, &piped));
        ASSERT_TRUE(scoreCandidatesPlainly(matcher, found, atLeast, &plain));
        ASSERT_EQ(piped.size(), plain.size()) << atLeast;
        for (size_t i = 0; i < piped.size(); ++i) {
            EXPECT_EQ(piped[i].x, plain[i].x);
            EXPECT_EQ(piped[i].y, plain[i].y);
            EXPECT_EQ(piped[i].pattern, plain[i].pattern);
            EXPECT_EQ(piped[i].crosswise, plain[i].crosswise);
            EXPECT_EQ(piped[i].holders[0], plain[i].holders[0]);
            EXPECT_EQ(piped[i].holders[1], plain[i].holders[1]);
        }
        if (atLeast == -HUGE_VAL) EXPECT_EQ(piped.size(), found.count());
    }
}

}  // namespace
