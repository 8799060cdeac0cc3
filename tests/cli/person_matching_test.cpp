// The pieces of the matching of people that need no library: the clean-up
// of names, the levels of --with values, the weights of the model, and
// groups that do not chain.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "../../matching/clusters.h"
#include "../../matching/model.h"
#include "../../matching/levels.h"
#include "../../matching/prepare.h"

namespace {

std::string joinedWords(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : "|") + w;
    return out;
}

TEST(PersonName, CleanWords) {
    const struct {
        const char* text;
        const char* words;
    } cases[] = {
        {"  anna   smith ", "ANNA|SMITH"},
        {"O'Brien", "OBRIEN"},          // meets OBrien
        {"Smith-Jones", "SMITH|JONES"},  // meets Smith Jones
        {"J. R. R. Tolkien", "J|R|R|TOLKIEN"},
        {"\"Smith\", (John)", "SMITH|JOHN"},
        {"m\xFCller", "M\xDCLLER"},  // Windows-1252 ü to Ü
        {" - , ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(joinedWords(cleanWords(c.text, std::strlen(c.text))), c.words) << c.text;
}

TEST(PersonName, GivenAndSurname) {
    const struct {
        std::vector<std::string> fields;
        const char* given;
        const char* surname;
    } cases[] = {
        {{"John Smith"}, "JOHN", "SMITH"},
        {{"Smith, John"}, "JOHN", "SMITH"},
        {{"  smith ,john  "}, "JOHN", "SMITH"},
        {{"Smith"}, "", "SMITH"},
        {{"Jose Garcia Lopez"}, "JOSE", "GARCIA|LOPEZ"},
        {{"Smith,"}, "", "SMITH"},  // a comma with nothing after it is no order
        {{"Jean", "de Vries"}, "JEAN", "DE|VRIES"},
        {{"", "Smith"}, "", "SMITH"},
        {{"Anna", ""}, "ANNA", ""},  // a missing surname does not take the given name's place
        {{"Anna Maria", "Smith-Jones"}, "ANNA|MARIA", "SMITH|JONES"},
    };
    for (const auto& c : cases) {
        PersonName name = personName(c.fields);
        EXPECT_EQ(joinedWords(name.given), c.given) << c.fields[0];
        EXPECT_EQ(joinedWords(name.surname), c.surname) << c.fields[0];
    }
}

TEST(Levels, Words) {
    WordAnswers smyth;  // Smith and Smyth: one edit in five, 80 percent
    smyth.distance = 1, smyth.guthPercent = 80, smyth.codesAgree = true, smyth.lengthA = 5, smyth.lengthB = 5;
    EXPECT_EQ(wordLevel(smyth), CLOSE);
    WordAnswers meyer;  // Meyer and Maier: two in five, 40 percent, one code
    meyer.distance = 2, meyer.guthPercent = 40, meyer.codesAgree = true, meyer.lengthA = 5, meyer.lengthB = 5;
    EXPECT_EQ(wordLevel(meyer), CLOSE);
    meyer.codesAgree = false;
    EXPECT_EQ(wordLevel(meyer), SOME);
    WordAnswers jones;  // Jones and Thomas: four edits, 36 percent
    jones.distance = 4, jones.guthPercent = 36, jones.lengthA = 5, jones.lengthB = 6;
    EXPECT_EQ(wordLevel(jones), DIFFERENT);
    WordAnswers tomasz;  // Tomsaz and Tomasz: two edits in six, no shared code
    tomasz.distance = 2, tomasz.guthPercent = 66, tomasz.lengthA = 6, tomasz.lengthB = 6;
    EXPECT_EQ(wordLevel(tomasz), SOME);
    tomasz.transposed = true;
    EXPECT_EQ(wordLevel(tomasz), CLOSE);

    // On the limits, with no code shared and below 60 percent: one edit in
    // five letters is close, in four only some; the longer word counts,
    // whichever of the two it is. Ten in twenty is some, eleven different.
    const struct {
        int32_t distance;
        size_t lengthA, lengthB;
        Level level;
    } edges[] = {
        {1, 5, 5, CLOSE}, {1, 4, 5, CLOSE},  {1, 5, 4, CLOSE},   {2, 10, 10, CLOSE},
        {1, 4, 4, SOME},  {3, 10, 10, SOME}, {10, 20, 20, SOME}, {11, 20, 20, DIFFERENT},
    };
    for (const auto& e : edges) {
        WordAnswers answers;
        answers.distance = e.distance, answers.guthPercent = 40;
        answers.lengthA = e.lengthA, answers.lengthB = e.lengthB;
        EXPECT_EQ(wordLevel(answers), e.level) << e.distance << " in " << e.lengthA << " and " << e.lengthB;
    }
}

TEST(Levels, OneTransposition) {
    struct Case {
        const char* a;
        const char* b;
        bool swapped;
    } cases[] = {
        {"TOMSAZ", "TOMASZ", true},  {"OTMASZ", "TOMASZ", true},   {"TOMASZ", "TOMAZS", true},
        {"TOMASZ", "TOMASZ", false}, {"TOMSZA", "TOMASZ", false},  // a rotation, not a swap
        {"TOMSAX", "TOMASZ", false}, {"TOMASZ", "TOMASZA", false}, {"ANNA", "ANAN", true},
        {"ANNA", "ANNA", false},     {"AB", "BA", true},           {"A", "A", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(oneTransposition(c.a, std::strlen(c.a), c.b, std::strlen(c.b)), c.swapped) << c.a << " " << c.b;
}

TEST(FellegiSunter, ExactNameWeighsByItsShare) {
    FsModel model = FsModel::start(3);
    model.records = 10000;
    const double exact = model.weight(0, EXACT), close = model.weight(0, CLOSE);
    // u is the value's share among the other records, with a hundred
    // records of the level's u: a name held by 2 records of 10,000 (the
    // one and another) against one held by 200.
    const double u = model.u[0][EXACT];
    EXPECT_DOUBLE_EQ(model.exactWeight(0, 2), std::log2(model.m[0][EXACT] * 10099 / (1 + 100 * u)));
    EXPECT_NEAR(model.exactWeight(0, 2) - model.exactWeight(0, 200), std::log2((199 + 100 * u) / (1 + 100 * u)),
                1e-9);
    EXPECT_GT(model.exactWeight(0, 2), exact + 3);
    // In a list of five records, three copies of one name do not make it
    // common: the weight stays within a bit of the level's.
    FsModel small = FsModel::start(3);
    small.records = 5;
    EXPECT_NEAR(small.exactWeight(0, 3), exact, 1.0);
    // A name every other record holds still agrees better than a near miss.
    EXPECT_DOUBLE_EQ(model.exactWeight(0, 5000), close);
    // Holders not known, or no count of the records: the level's weight.
    EXPECT_DOUBLE_EQ(model.exactWeight(0, 0), exact);
    FsModel unsized = FsModel::start(3);
    EXPECT_DOUBLE_EQ(unsized.exactWeight(0, 2), exact);

    // A pattern's weight: the value's weight where a name agrees exactly,
    // the level's elsewhere; --with fields (the third) keep theirs.
    Pattern bothExact = withLevel(withLevel(withLevel(0, 0, EXACT), 1, EXACT), 2, EXACT);
    const uint32_t holders[kNameComparisons] = {2, 40};
    EXPECT_DOUBLE_EQ(model.weight(bothExact, holders),
                     model.exactWeight(0, 2) + model.exactWeight(1, 40) + model.weight(2, EXACT));
    Pattern givenClose = withLevel(bothExact, 0, CLOSE);
    EXPECT_DOUBLE_EQ(model.weight(givenClose, holders), close + model.exactWeight(1, 40) + model.weight(2, EXACT));
}

TEST(FellegiSunter, NearMissWeighsByItsCodesShare) {
    FsModel model = FsModel::start(2);
    model.records = 10000;
    model.codeAgreement[1] = 0.01;  // a surname drawn at random: one record in a hundred holds its code
    const double close = model.weight(1, CLOSE);
    // A code as common as the average: the level's weight, give or take
    // the hundred records drawn towards it.
    EXPECT_NEAR(model.closeWeight(1, 101), close, 0.01);
    // Ten times rarer, about log2(10) more; ten times commoner, less, but
    // never under SOME.
    EXPECT_NEAR(model.closeWeight(1, 11) - close, std::log2(10099.0 / (10 + 100 * 0.01) * 0.01), 1e-9);
    EXPECT_GT(model.closeWeight(1, 10), close + 3);
    EXPECT_LT(model.closeWeight(1, 1000), close);
    EXPECT_DOUBLE_EQ(model.closeWeight(1, 9000), model.weight(1, SOME));
    // A near miss never outweighs an exact agreement on a name as common
    // as its code.
    for (uint32_t holders : {1u, 2u, 10u, 100u}) EXPECT_LE(model.closeWeight(1, holders), model.exactWeight(1, holders));
    // Not known: the level's weight; nameWeight picks by level.
    EXPECT_DOUBLE_EQ(model.closeWeight(1, 0), close);
    EXPECT_DOUBLE_EQ(model.nameWeight(1, CLOSE, 10), model.closeWeight(1, 10));
    EXPECT_DOUBLE_EQ(model.nameWeight(1, EXACT, 10), model.exactWeight(1, 10));
    EXPECT_DOUBLE_EQ(model.nameWeight(1, SOME, 10), model.weight(1, SOME));
}

TEST(FellegiSunter, PartnerAmongRivals) {
    const double others = 1000;
    auto ratio = [&](double weight) { return std::exp2(weight) / others; };
    // One candidate and an even chance of a partner: the pair's odds are
    // its ratio, as a pair on its own with a prior of 1 in `others`.
    double alone = partnerProbability(12, ratio(12), others, 0.5);
    EXPECT_NEAR(alone, ratio(12) / (1 + ratio(12)), 1e-12);
    // A rival as heavy: neither is likely the one.
    double twin = partnerProbability(12, 2 * ratio(12), others, 0.5);
    EXPECT_LT(twin, 0.5);
    EXPECT_LT(twin, alone);
    // A light rival hardly matters; a larger share of partners raises it.
    EXPECT_NEAR(partnerProbability(12, ratio(12) + ratio(0), others, 0.5), alone, 1e-3);
    EXPECT_GT(partnerProbability(12, ratio(12), others, 0.8), alone);

    // Fitted share: 80 records with one strong candidate and 20 with none
    // or only weak ones give about 0.8, whatever the start.
    std::vector<double> sums(80, ratio(30));
    sums.insert(sums.end(), 10, 0.0);
    sums.insert(sums.end(), 10, ratio(0));
    EXPECT_NEAR(fitPartnerShare(sums), 0.8, 0.01);
    EXPECT_NEAR(fitPartnerShare(std::vector<double>(50, 0.0)), 0.01, 1e-9);  // kept off 0
}

TEST(FellegiSunter, PartnerLevelsFollowTheCandidates) {
    const FsModel start = FsModel::start(3);
    // Thousands of likely partners whose surnames agree closely four times
    // in ten and never only somewhat: m follows them, and so do the weights.
    std::vector<std::vector<double>> counts(3, std::vector<double>(kLevels, 0.0));
    counts[1][CLOSE] = 4000;
    counts[1][EXACT] = 6000;
    FsModel model = start;
    setPartnerLevels(counts, &model);
    EXPECT_NEAR(model.m[1][CLOSE], 0.4, 0.01);
    EXPECT_NEAR(model.m[1][EXACT], 0.6, 0.01);
    EXPECT_GT(model.weight(1, CLOSE), start.weight(1, CLOSE) + 1);
    EXPECT_LT(model.weight(1, SOME), start.weight(1, SOME) - 3);
    double sum = 0;
    for (int l = 0; l < kLevels; ++l) sum += model.m[1][l];
    EXPECT_NEAR(sum, 1, 1e-9);
    // Nothing seen: the set m. A few pairs move it only part of the way.
    EXPECT_EQ(model.m[0], start.m[0]);
    EXPECT_EQ(model.m[2], start.m[2]);
    counts.assign(3, std::vector<double>(kLevels, 0.0));
    counts[2][DIFFERENT] = 10;
    model = start;
    setPartnerLevels(counts, &model);
    EXPECT_GT(model.m[2][DIFFERENT], start.m[2][DIFFERENT]);
    EXPECT_LT(model.m[2][DIFFERENT], 0.2);
}

TEST(Clusters, WeakBridgeDoesNotChain) {
    // Two people of two records each, one weak pair between them: two
    // groups. Connected sets would make one.
    std::vector<uint32_t> groups = clusterPairs(4, {{0, 1, 20}, {2, 3, 20}, {1, 2, 5}});
    EXPECT_EQ(groups, (std::vector<uint32_t>{1, 1, 2, 2}));
    // A third record that matches both of a pair joins them; a record
    // matching one of three does not.
    groups = clusterPairs(5, {{0, 1, 20}, {0, 2, 15}, {1, 2, 15}, {2, 3, 9}});
    EXPECT_EQ(groups, (std::vector<uint32_t>{1, 1, 1, 0, 0}));
    // Two records and their match: half of one pair is enough.
    groups = clusterPairs(3, {{1, 2, 3}});
    EXPECT_EQ(groups, (std::vector<uint32_t>{0, 1, 1}));
}

}  // namespace
