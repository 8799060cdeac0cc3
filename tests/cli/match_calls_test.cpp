// What the matching asks of the function table: the encoder of its key,
// ovLevenshtein and ovGuthMatch, each with the parameters the calls pass,
// and a message that names what is wrong when the library lacks one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../host/match_calls.h"

namespace {

FunctionRow row(int32_t id, const char* name, const char* types) {
    FunctionRow r;
    r.id = id;
    r.name = name;
    for (int i = 0; types[i]; ++i)
        r.paramTypes |= static_cast<uint64_t>(types[i] == 's' ? PARAM_STRING : PARAM_INTEGER) << (4 * i);
    r.paramCount = static_cast<int32_t>(std::string(types).size());
    return r;
}

std::string shown(const std::string& name) { return "<" + name + ">"; }

TEST(MatchFunctions, FoundOrNamed) {
    const std::vector<FunctionRow> full = {row(1, "ovsoundex", "si"), row(4, "ovdoublemetaphone", "si"),
                                           row(5, "ovphonex", "s"), row(7, "ovlevenshtein", "ss"),
                                           row(8, "ovguthmatch", "ssi")};
    MatchFunctions f;
    std::string problem;
    ASSERT_TRUE(findMatchFunctions(full, KeyKind::DMETAPHONE, shown, &f, &problem)) << problem;
    EXPECT_EQ(f.encoder, 4);
    EXPECT_EQ(f.levenshtein, 7);
    EXPECT_EQ(f.guth, 8);
    EXPECT_EQ(f.encoderName, "<ovdoublemetaphone>");
    ASSERT_TRUE(findMatchFunctions(full, KeyKind::SOUNDEX5, shown, &f, &problem)) << problem;
    EXPECT_EQ(f.encoder, 1);
    ASSERT_TRUE(findMatchFunctions(full, KeyKind::PHONEX, shown, &f, &problem)) << problem;
    EXPECT_EQ(f.encoder, 5);

    const struct {
        std::vector<FunctionRow> table;
        KeyKind key;
        const char* problem;
    } wrong[] = {
        {{row(4, "ovdoublemetaphone", "si"), row(8, "ovguthmatch", "ssi")}, KeyKind::DMETAPHONE,
         "the library has no function ovlevenshtein"},
        {{row(4, "ovdoublemetaphone", "si"), row(7, "ovlevenshtein", "ss"), row(8, "ovguthmatch", "ss")},
         KeyKind::DMETAPHONE, "<ovguthmatch> takes a string and a string, which the matching cannot use"},
        {{row(5, "ovphonex", "si"), row(7, "ovlevenshtein", "ss"), row(8, "ovguthmatch", "ssi")}, KeyKind::PHONEX,
         "<ovphonex> takes a string and an integer, which the matching cannot use"},
        {full, KeyKind::METAPHONE, "the library has no function ovmetaphone"},
    };
    for (const auto& c : wrong) {
        problem.clear();
        EXPECT_FALSE(findMatchFunctions(c.table, c.key, shown, &f, &problem));
        EXPECT_EQ(problem, c.problem);
    }
}

}  // namespace
