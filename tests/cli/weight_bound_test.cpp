// The bounds that let the matching of people give up a candidate before
// its names are compared: a pair given up could not have weighed what was
// asked, and a pair compared under a bound has the pattern of a full
// comparison. Every pair of a small list of names alike and not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../cli/command.h"
#include "../../cli/host_calls.h"
#include "../../cli/person_matcher.h"

namespace {

TEST(WeightBound, NeverBelowTheWeight) {
    Library library;
    std::string error;
    ASSERT_TRUE(openLibrary(nullptr, &library, &error)) << error;
    MemorySource in("");
    MemorySink out, err;
    Console console{&in, &out, &err, false, false};
    CommandContext context{library, console, Options(), readFunctionTable(library)};
    PersonMatcher matcher;
    ASSERT_TRUE(matcher.open(context, &error)) << error;

    // Spellings, initials, swapped and missing parts, joined surnames,
    // dates equal, near and far.
    const std::vector<std::vector<std::string>> names = {
        {"John", "Smith"}, {"Jon", "Smyth"},     {"J", "Smith"},        {"Smith", "John"}, {"Johan", "Smith-Jones"},
        {"John", "SmithJones"}, {"Mary Ann", "Jones"}, {"Marie", "Jones"}, {"Ann", "Jones"},  {"", "Jones"},
        {"Mary", ""},       {"Anna", "van der Berg"}, {"Ana", "Vandenberg"}, {"Tomasz", "Nowak"}, {"Tomsaz", "Nowak"},
    };
    const std::vector<std::string> dates = {"19800101", "19800110", "19810101", ""};
    PersonList people;
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t d = 0; d < dates.size(); d += 1 + i % 2) {
            people.names.push_back(personName(names[i]));
            people.values.push_back({dates[(d + i) % dates.size()]});
        }
    ASSERT_TRUE(matcher.add(people)) << matcher.error();

    FsModel model = FsModel::start(matcher.comparisons());
    std::vector<std::vector<uint64_t>> random;
    ASSERT_TRUE(matcher.randomPairLevels(0, 1000, &random));
    setRandomPairLevels(random, &model);
    model.share = 1.0 / static_cast<double>(matcher.records());
    model.records = matcher.records();
    for (int c = 0; c < kValueWeighted; ++c) model.codeAgreement[c] = matcher.codeAgreement(c);
    matcher.setModel(model);

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

}  // namespace
