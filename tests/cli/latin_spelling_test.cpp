// Names of any script spelled in the Latin letters of Windows-1252 for the
// matching of people: what the speller writes, what the table reader hands
// the matching, and that spellers on several threads agree.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "../../records/encoding.h"
#include "../../records/latin_spelling.h"
#include "../../records/record_reader.h"

namespace {

std::string toUtf8(const std::string& cp1252) {
    std::string out(cp1252.size() * 3, '\0');
    out.resize(cp1252ToUtf8(cp1252.data(), cp1252.size(), &out[0]));
    return out;
}

// The spelling in UTF-8 (for reading the cases), or "!" and the problem.
std::string spelled(LatinSpeller& speller, const std::string& utf8) {
    std::string out;
    EncodingProblem problem;
    if (!speller.spell(utf8.data(), utf8.size(), &out, &problem)) {
        if (!out.empty()) return "!output left: " + out;
        return "!" + describeProblem(problem) + " at " + std::to_string(problem.offset);
    }
    return toUtf8(out);
}

struct SpellingCase {
    std::string text;
    const char* spelled;  // in UTF-8
};

TEST(LatinSpelling, EveryScriptInLatinLetters) {
    ASSERT_TRUE(kSpellsEveryScript);
    const SpellingCase cases[] = {
        // Latin letters that Windows-1252 lacks: their plain letter.
        {"Łukasz Wałęsa", "Lukasz Walesa"},
        {"Dąbrowski", "Dabrowski"},
        {"Ğündüz Şahin", "Gündüz Sahin"},  // ü is Windows-1252's, kept
        {"Yıldız İnce", "Yildiz Ince"},
        {"Nguyễn Văn Đức", "Nguyen Van Duc"},
        // The eleven letters of Windows-1252 that are spelled too.
        {"Søren Ørsted", "Soren Orsted"},
        {"Strauß", "Strauss"},
        {"Ærø Kræmer", "AEro Kraemer"},
        {"Œuvray Þórður", "OEuvray THórdur"},  // ó kept, ð spelled
        // Other scripts.
        {"Иван Петров", "Ivan Petrov"},
        {"Юрий Яковлев, Пётр Щукин", "Yuriy Yakovlev, Petr Shchukin"},
        {"Ельцин", "Yel'tsin"},
        {"Γιώργος Παπαδόπουλος", "Giorgos Papadopoulos"},
        {"Χρήστος Ευάγγελος", "Christos Evangelos"},
        {"李小龍", "li xiao long"},
        // Mixed: each character as it would be alone.
        {"Łódź", "Lódz"},
        {"José Иванов-Łoś", "José Ivanov-Los"},
        // Windows-1252 text stays as it is, marks and all.
        {"José Müller-Çelik", "José Müller-Çelik"},
        {"Ñúñez O'Brien, Š. Žák", "Ñúñez O'Brien, Š. Žák"},
        {"Robert", "Robert"},
        // An accent written as a combining mark is the letter Windows-1252 has.
        {"Jose\xCC\x81", "José"},
        // What has no spelling is left out, the rest kept.
        {"Smith 😀", "Smith "},
        // Nothing left of a text that has no letter in any script.
        {"", ""},
        {"😀", "!U+1F600 has no Latin spelling at 0"},
        {"★ ☆", "!U+2605 has no Latin spelling at 0"},
        // Not text at all: as the conversion to Windows-1252 says.
        {"\xC5\x81uk\xFF", "!invalid UTF-8 at 4"},
        {std::string("\xC5\x81u\0k", 5), "!a NUL byte at 3"},
    };
    LatinSpeller speller;
    for (const SpellingCase& c : cases) EXPECT_EQ(spelled(speller, c.text), c.spelled) << c.text;
}

// The build without ICU (Windows) spells Latin letters only.
TEST(LatinSpelling, WithoutIcuLatinLettersOnly) {
    const SpellingCase cases[] = {
        {"Łukasz Wałęsa", "Lukasz Walesa"},
        {"Ğündüz Şahin", "Gündüz Sahin"},
        {"Søren Strauß", "Soren Strauss"},
        {"José Müller", "José Müller"},
        {"Иван Łoś", " Los"},
        {"Иван", "!U+0418 has no Latin spelling at 0"},
    };
    LatinSpeller speller(false);
    for (const SpellingCase& c : cases) EXPECT_EQ(spelled(speller, c.text), c.spelled) << c.text;
}

// The eleven letters are spelled by a table where the text is Windows-1252
// already, and by ICU's chain where it is not: the two agree, with and
// without ICU.
TEST(LatinSpelling, ElevenLettersTheSameEitherWay) {
    LatinSpeller icu, plain(false);
    int found = 0;
    for (int byte = 0x80; byte < 0x100; ++byte) {
        const std::string letter(1, static_cast<char>(byte));
        if (!hasLettersToRespell(letter.data(), 1)) continue;
        ++found;
        std::string table;
        respellLetters(letter.data(), 1, &table);
        const std::string utf8 = toUtf8(letter);
        EXPECT_EQ(spelled(icu, utf8), table) << utf8;
        EXPECT_EQ(spelled(plain, utf8), table) << utf8;
        // Beside a letter that Windows-1252 lacks, which takes the text to ICU.
        EXPECT_EQ(spelled(icu, "Ł" + utf8), "L" + table) << utf8;
    }
    EXPECT_EQ(found, 11);
    std::string same;
    respellLetters("M\xFCller", 6, &same);
    EXPECT_EQ(same, "M\xFCller");
}

// Each thread its own speller, all spelling at once, as a reader per thread
// would.
TEST(LatinSpelling, ASpellerPerThread) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"Иван Петров", "Ivan Petrov"}, {"Γιώργος", "Giorgos"}, {"Łukasz", "Lukasz"}, {"Şahin", "Sahin"}};
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            LatinSpeller speller;
            for (int i = 0; i < 2000; ++i) {
                const auto& name = names[static_cast<size_t>(i + t) % names.size()];
                if (spelled(speller, name.first) != name.second) ++wrong[static_cast<size_t>(t)];
            }
        });
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(wrong[static_cast<size_t>(t)], 0) << "thread " << t;
}

// What the table reader hands on, per field: "text" in UTF-8, or "!problem".
std::vector<std::string> readNames(const std::string& input, bool latin, bool cp1252) {
    MemorySource source(input);
    TableSettings settings;
    settings.format = TextFormat::CSV;
    settings.latin = latin;
    settings.cp1252 = cp1252;
    settings.selectors = {"1", "2"};
    TableReader table(source, settings);
    std::string problem;
    EXPECT_TRUE(table.start(&problem)) << problem;
    std::vector<std::string> names;
    TableRecord record;
    while (table.next(&record))
        for (const NameField& name : record.names)
            names.push_back(name.usable ? toUtf8(std::string(name.text.data(), name.size)) : "!" + name.problem);
    return names;
}

TEST(LatinSpelling, TheReaderSpellsNamesForPeopleOnly) {
    const std::string input = "Łukasz,Wałęsa\nIvan,Петров\nJürgen,Strauß\n😀,Smith\nAnna,\n";
    EXPECT_EQ(readNames(input, true, false),
              (std::vector<std::string>{"Lukasz", "Walesa", "Ivan", "Petrov", "Jürgen", "Strauss",
                                        "!U+1F600 has no Latin spelling in field 1", "Smith", "Anna",
                                        "!empty name in field 2"}));
    // map and the grouping by a code read the names as the library takes them.
    EXPECT_EQ(readNames(input, false, false),
              (std::vector<std::string>{"!U+0141 has no Windows-1252 form in field 1",
                                        "!U+0142 has no Windows-1252 form in field 2", "Ivan",
                                        "!U+041F has no Windows-1252 form in field 2", "Jürgen", "Strauß",
                                        "!U+1F600 has no Windows-1252 form in field 1", "Smith", "Anna",
                                        "!empty name in field 2"}));
    // Bytes that are Windows-1252 already: only the eleven letters change.
    EXPECT_EQ(readNames("J\xFCrgen,Strau\xDF\nS\xF8ren,\xC6r\xF8\n", true, true),
              (std::vector<std::string>{"Jürgen", "Strauss", "Soren", "AEro"}));
}

}  // namespace
