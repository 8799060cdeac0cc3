// What link's matching of people counts beyond each pair's comparison: the
// key of the starts of a given name and a surname, and the records of B
// that tie with a record of A whose name lacks a part.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "../../host/host_calls.h"
#include "../../matching/engine.h"

namespace {

struct Linked {
    Library library;
    PersonMatcher matcher;
    FsModel model;
    uint32_t split = 0;

    // A's names, then B's (given name, surname), and the model of link.
    void open(const std::vector<std::vector<std::string>>& a, const std::vector<std::vector<std::string>>& b) {
        std::string error;
        ASSERT_TRUE(openLibrary(nullptr, &library, &error)) << error;
        MatchFunctions functions;
        ASSERT_TRUE(findMatchFunctions(readFunctionTable(library), KeyKind::DMETAPHONE,
                                       [](const std::string& name) { return name; }, &functions, &error))
            << error;
        matcher.open(library, functions);
        for (const auto* side : {&a, &b}) {
            PeopleColumns people;
            for (const auto& name : *side) {
                people.names.push_back(personName(name));
                people.values.emplace_back();
            }
            ASSERT_TRUE(matcher.add(people)) << matcher.error();
        }
        split = static_cast<uint32_t>(a.size());
        ASSERT_TRUE(setUpModel(matcher, split, 1000, &model)) << matcher.error();
    }
    double others() const { return static_cast<double>(matcher.records() - split); }
    // The ratio 2^weight / others of A's record x and B's record y.
    double ratio(uint32_t x, uint32_t y) {
        Candidate pair;
        pair.x = x, pair.y = split + y;
        EXPECT_TRUE(matcher.compare(&pair));
        return std::exp2(pairWeight(model, pair)) / others();
    }
};

// B's people, most of them unlike the names of A.
std::vector<std::vector<std::string>> peopleOfB() {
    return {{"Domenico", "Galato"}, {"Domenico", "Rossi"},  {"Domenico", "Bianchi"}, {"Leslie", "Cromwood"},
            {"Orhan", "Karaldogan"}, {"Maria", "Garcia"},   {"John", "Taylor"},      {"Anna", "Smith"},
            {"Peter", "Nowak"},      {"Ines", "Dubois"},    {"Henrik", "Lund"},      {"Zofia", "Borowicz"}};
}

TEST(PersonCandidates, StartsOfBothNamesMeet) {
    // Both names spoiled past their codes (LSP and LSL, KRKT and KRMT):
    // only their first two letters are left in common.
    Linked linked;
    linked.open({{"Lespie", "Crokwood"}, {"Ines", "Dubios"}}, peopleOfB());
    CandidatePairs pairs;
    linked.matcher.candidates(linked.split, false, CandidateBounds(), &pairs);
    auto met = [&](uint32_t x, uint32_t y) {
        const auto first = pairs.partners.begin() + static_cast<std::ptrdiff_t>(pairs.start[x]);
        const auto last = pairs.partners.begin() + static_cast<std::ptrdiff_t>(pairs.start[x + 1]);
        return std::find(first, last, linked.split + y) != last;
    };
    EXPECT_TRUE(met(0, 3));   // Leslie Cromwood
    EXPECT_FALSE(met(0, 8));  // Peter Nowak shares nothing
    EXPECT_TRUE(met(1, 9));   // Ines Dubois, by the codes as before
}

TEST(PersonCandidates, StartsKeyIsASortedNeighbourhood) {
    // Twenty people on each side whose names all start Ma and Sm, each
    // name of its own sounds: each record of A meets its own copy by the
    // codes, and by the starts only the few next to it in the order of the
    // names, not all twenty as a small key of codes would pair them.
    const std::string sounds = "BKTFJLMNRS";
    std::vector<std::vector<std::string>> people;
    for (size_t i = 0; i < 20; ++i) {
        const std::string s1(1, sounds[i % 10]), s2(1, sounds[i / 10]);
        people.push_back({"Ma" + s1 + "a" + s2 + "o", "Sm" + s1 + "i" + s2 + "e"});
    }
    Linked linked;
    linked.open(people, people);
    CandidatePairs pairs;
    linked.matcher.candidates(linked.split, false, CandidateBounds(), &pairs);
    EXPECT_GT(pairs.count(), 20u);
    EXPECT_LT(pairs.count(), 20u * 20 / 2);
}

TEST(PersonCandidates, ANameMissingAPartTiesWithEveryHolder) {
    Linked linked;
    linked.open({{"Domenico", ""}, {"Orhan", ""}, {"Domenico", "Verdi"}, {"", "Nowak"}, {"Gianluca", ""}},
                peopleOfB());
    const double others = linked.others();
    // Three Domenicos in B: each agrees exactly on the given name, the
    // missing surname counting neither way, as much as the others do.
    double domenicos = 0;
    for (uint32_t y : {0u, 1u, 2u}) domenicos += linked.ratio(0, y);
    const double tied = linked.matcher.tiedRivals(0, linked.split, others);
    EXPECT_GT(tied, 2 * linked.ratio(0, 0));
    EXPECT_LE(tied, domenicos * (1 + 1e-9));
    // One Orhan: his rival is his only holder; Domenico's three share the
    // chance that Orhan has alone.
    const double orhan = linked.matcher.tiedRivals(1, linked.split, others);
    EXPECT_LE(orhan, linked.ratio(1, 4) * (1 + 1e-9));
    EXPECT_GT(orhan, 0);
    EXPECT_LT(partnerProbability(std::log2(linked.ratio(0, 0) * others), tied, others, 0.8), 0.5);
    // A surname alone ties with its holders too; a whole name and a word
    // that no record of B holds have none.
    EXPECT_GT(linked.matcher.tiedRivals(3, linked.split, others), 0);
    EXPECT_EQ(linked.matcher.tiedRivals(2, linked.split, others), 0);
    EXPECT_EQ(linked.matcher.tiedRivals(4, linked.split, others), 0);
}

}  // namespace
