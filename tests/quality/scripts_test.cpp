// The text helpers of the export modes: case in the scripts they write,
// marks dropped, and the Latin spellings of a name.
#include <gtest/gtest.h>

#include <string>

#include "scripts.h"

namespace {

using scripts::Spelling;

TEST(Scripts, CaseOfEveryScriptRoundTrips) {
    struct Case {
        const char* small;
        const char* capitals;
    };
    const Case cases[] = {
        {"smith", "SMITH"},
        {"müller-lüdenscheidt", "MÜLLER-LÜDENSCHEIDT"},
        {"łukasz wąsowski żółć", "ŁUKASZ WĄSOWSKI ŻÓŁĆ"},
        {"ağaoğlu şahin çelik", "AĞAOĞLU ŞAHIN ÇELIK"},
        {"ærøskøbing håkon", "ÆRØSKØBING HÅKON"},
        {"фёдоров щербаков", "ФЁДОРОВ ЩЕРБАКОВ"},
        {"παπαδοπουλος", "ΠΑΠΑΔΟΠΟΥΛΟΣ"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scripts::upper(c.small), c.capitals) << c.small;
        EXPECT_EQ(scripts::lower(c.capitals), c.small) << c.capitals;
    }
    // Greek capitals drop the accents; a final sigma comes back as ς.
    EXPECT_EQ(scripts::upper("Γεώργιος"), "ΓΕΩΡΓΙΟΣ");
    EXPECT_EQ(scripts::lower("ΓΕΩΡΓΙΟΣ"), "γεωργιος");
    // Every letter of Latin-1 and Latin Extended-A that has two cases (the
    // Turkish dotted and dotless i pair with the ASCII ones).
    for (char32_t c = 0xC0; c <= 0x17F; ++c) {
        char32_t small = scripts::lower(c), capital = scripts::upper(c);
        if (small == capital || c == 0x130 || c == 0x131) continue;
        EXPECT_EQ(scripts::lower(capital), small) << std::hex << c;
        EXPECT_EQ(scripts::upper(small), capital) << std::hex << c;
    }
    EXPECT_EQ(scripts::upper("ı"), "I");
    EXPECT_EQ(scripts::lower("İ"), "i");
}

TEST(Scripts, MarksDropToTheirLetter) {
    struct Case {
        const char* marked;
        const char* plain;
    };
    const Case cases[] = {
        {"é", "e"}, {"Ł", "L"}, {"ğ", "g"}, {"ı", "i"}, {"İ", "I"}, {"ø", "o"}, {"Å", "A"},
        {"ё", "е"}, {"Ё", "Е"}, {"ά", "α"}, {"Ώ", "Ω"}, {"ϊ", "ι"}, {"ΰ", "υ"},
    };
    for (const Case& c : cases) {
        std::u32string marked = scripts::decode(c.marked);
        ASSERT_EQ(marked.size(), 1u) << c.marked;
        EXPECT_EQ(scripts::encode(scripts::withoutMark(marked[0])), c.plain) << c.marked;
    }
    for (const char* none : {"e", "ß", "æ", "и", "й", "σ", "ς"})
        EXPECT_EQ(scripts::withoutMark(scripts::decode(none)[0]), 0u) << none;
}

TEST(Scripts, LatinSpellings) {
    struct Case {
        const char* name;
        const char* english;
        const char* passport;
        const char* german;
        const char* french;
        const char* plain;
    };
    const Case cases[] = {
        {"Фёдоров", "Fyodorov", "Fedorov", "Fjodorow", "Fiodorov", "Fedorov"},
        {"Юрий", "Yuriy", "Iurii", "Juri", "Iouri", "Jurij"},
        {"Евгений", "Yevgeniy", "Evgenii", "Jewgeni", "Evgueni", "Evgenij"},
        {"Наталья Жукова", "Natalya Zhukova", "Natalia Zhukova", "Natalja Schukowa", "Natalia Joukova", "Natalja Zhukova"},
        {"Василий Хрущёв", "Vasiliy Khrushchov", "Vasilii Khrushchev", "Wassili Chruschtschow", "Vassili Khrouchtchiov",
         "Vasilij Hruschev"},
        {"ИВАНОВ", "IVANOV", "IVANOV", "IWANOW", "IVANOV", "IVANOV"},
        {"Γεώργιος", "Yeoryios", "Georgios", "Georgios", "Georgios", "Yeoryios"},
        {"Χρήστος Παπαδόπουλος", "Hristos Papadopoulos", "Christos Papadopoulos", "Chrestos Papadopoulos",
         "Khristos Papadopoulos", "Hristos Papadopulos"},
        {"Ευάγγελος Μπακογιάννης", "Evangelos Bakoyiannis", "Evangelos Bakogiannis", "Euangelos Bakogiannes",
         "Evangelos Bakogiannis", "Evangelos Bakoyiannis"},
        {"Αικατερίνη Ντόκου", "Ekaterini Dokou", "Aikaterini Dokou", "Aikaterine Dokou", "Aikaterini Dokou",
         "Ekaterini Doku"},
        {"Łukasz Wąs-Żak", "Lukasz Was-Zak", "Lukasz Was-Zak", "Lukasz Was-Zak", "Lukasz Was-Zak", "Lukasz Was-Zak"},
        {"Öztürk Ağaoğlu", "Ozturk Agaoglu", "Oeztuerk Agaoglu", "Oeztuerk Agaoglu", "Ozturk Agaoglu", "Ozturk Agaoglu"},
        {"Bjørn Strauß", "Bjorn Strauss", "Bjoern Strauss", "Bjoern Strauss", "Bjorn Strauss", "Bjorn Strauss"},
        {"Bad Homburg v.d.H.", "Bad Homburg v.d.H.", "Bad Homburg v.d.H.", "Bad Homburg v.d.H.", "Bad Homburg v.d.H.",
         "Bad Homburg v.d.H."},
    };
    for (const Case& c : cases) {
        const char* wanted[scripts::kSpellings] = {c.english, c.passport, c.german, c.french, c.plain};
        for (int s = 0; s < scripts::kSpellings; ++s) {
            std::string latin = scripts::toLatin(c.name, static_cast<Spelling>(s));
            EXPECT_EQ(latin, wanted[s]) << c.name << " " << scripts::spellingName(static_cast<Spelling>(s));
            EXPECT_TRUE(scripts::isAscii(latin)) << latin;
        }
    }
}

TEST(Scripts, ScriptOfAText) {
    EXPECT_EQ(scripts::scriptOf("Łukasz Öztürk"), scripts::Script::Latin);
    EXPECT_EQ(scripts::scriptOf("Ivan Петров"), scripts::Script::Cyrillic);
    EXPECT_EQ(scripts::scriptOf("Νίκος"), scripts::Script::Greek);
    EXPECT_TRUE(scripts::isAscii("O'Brien-Smith, Jr."));
    EXPECT_FALSE(scripts::isAscii("Ó Briain"));
}

}  // namespace
