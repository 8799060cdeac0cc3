// The nickname table: which words it relates and the canonical names a
// word belongs to; how it reads its CSV text (line ends, blank lines,
// blanks, case, names cleaned as the matching cleans them) and the
// malformed lines it refuses, by their number; the table built into the
// command against data/nicknames/names.csv; and --nicknames as group and
// link read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../../cli/people_command.h"
#include "../../cli/nickname_tables.h"
#include "../../matching/nicknames.h"

namespace {

const char kTable[] =
    "name1,relationship,name2\n"
    "robert,has_nickname,bob\n"
    "robert,has_nickname,robbie\n"
    "robert,has_nickname,rob\n"
    "roberta,has_nickname,bobbie\n"
    "roberta,has_nickname,bob\n"
    "william,has_nickname,bill\n"
    "aaron,has_nickname,ron\n"
    "ronald,has_nickname,ron\n"
    "ronald,has_nickname,ronnie\n"
    "casey,has_nickname,k.c.\n"
    "mary-ann,has_nickname,polly\n"
    "o'neil,has_nickname,neil\n"
    "jos\xe9,has_nickname,pepe\n"  // José in Windows-1252
    "william,has_nickname,will\n";

NicknameTable loaded(const std::string& text) {
    NicknameTable table;
    std::string problem;
    EXPECT_TRUE(table.load(text, &problem)) << problem;
    EXPECT_EQ(problem, "");
    return table;
}

// The clean forms of the canonical names `word` belongs to, in their order.
std::vector<std::string> canonicalNames(const NicknameTable& table, const std::string& word) {
    std::vector<uint32_t> groups = {999};  // cleared by groupsOf
    table.groupsOf(word, &groups);
    std::vector<std::string> names;
    for (uint32_t g : groups) names.emplace_back(table.name(g));
    return names;
}

TEST(NicknameTable, RelatesNamesNicknamesAndNicknamesOfOneName) {
    const NicknameTable table = loaded(kTable);
    struct Case {
        const char *a, *b;
        bool related;
    } cases[] = {
        {"ROBERT", "BOB", true},      // a name and its nickname
        {"BOB", "ROBERT", true},      // either way round
        {"BOB", "ROBBIE", true},      // two nicknames of one name
        {"ROBBIE", "ROB", true},
        {"ROBERTA", "BOB", true},     // BOB is of two names
        {"ROBERTA", "ROBBIE", false}, // ...which stay apart
        {"BOBBIE", "ROBERT", false},
        {"ROBERT", "ROBERTA", false}, // two names
        {"AARON", "RONALD", false},   // only a shared nickname between them
        {"RON", "RONNIE", true},
        {"AARON", "RONNIE", false},
        {"BOB", "BILL", false},       // unrelated
        {"BILL", "WILL", true},
        {"ROBERT", "ROBERT", false},  // a word and itself
        {"BOB", "BOB", false},
        {"ROBERT", "SMITH", false},   // a word the table lacks
        {"SMITH", "JONES", false},
        {"", "BOB", false},
        {"robert", "bob", false},     // not the matching's clean upper-case form
        {"Robert", "BOB", false},
        {"KC", "CASEY", true},        // k.c.: dots dropped
        {"MARYANN", "POLLY", true},   // mary-ann: its words joined
        {"ONEIL", "NEIL", true},      // o'neil: the apostrophe dropped
        {"JOS\xc9", "PEPE", true},    // Windows-1252 upper case
        {"JOS\xe9", "PEPE", false},
    };
    for (const Case& c : cases) EXPECT_EQ(table.related(c.a, c.b), c.related) << c.a << " " << c.b;
}

TEST(NicknameTable, GroupsOfAWordAreItsCanonicalNames) {
    const NicknameTable table = loaded(kTable);
    struct Case {
        const char* word;
        std::vector<std::string> names;
    } cases[] = {
        {"ROBERT", {"ROBERT"}},            // a name, as itself
        {"ROBBIE", {"ROBERT"}},            // a nickname
        {"BOB", {"ROBERT", "ROBERTA"}},    // a nickname of two names, in the table's order
        {"RON", {"AARON", "RONALD"}},
        {"MARYANN", {"MARYANN"}},
        {"SMITH", {}},                     // not in the table
        {"bob", {}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(canonicalNames(table, c.word), c.names) << c.word;
    // The numbers run from 0 in the order the names first come.
    EXPECT_EQ(table.names(), 9u);
    EXPECT_EQ(table.name(0), "ROBERT");
    EXPECT_EQ(table.name(8), "JOS\xc9");
    // Every distinct clean word once: 9 names and 12 further nicknames.
    EXPECT_EQ(table.words(), 21u);
}

TEST(NicknameTable, ReadsLineEndsBlankLinesBlanksAndCase) {
    const NicknameTable plain = loaded(kTable);
    std::string crlf, blanks, upper;
    std::istringstream lines(kTable);
    std::string line;
    while (std::getline(lines, line)) {
        crlf += line + "\r\n";
        // Blanks and TABs around each field, and blank lines between rows.
        std::string spaced = "  ";
        for (char c : line) spaced += c == ',' ? std::string(" \t, ") : std::string(1, c);
        blanks += spaced + " \t\n\n  \n";
        std::string capitals;
        for (char c : line) capitals += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        upper += capitals + "\n";
    }
    std::string noFinalEnd(kTable, sizeof kTable - 2);  // without the last line end
    const std::string texts[] = {crlf, "\n\r\n" + blanks, upper, noFinalEnd};
    std::vector<std::string> words = {"ROBERT", "BOB", "ROBBIE", "ROB", "ROBERTA", "BOBBIE", "WILLIAM", "BILL",
                                      "WILL", "AARON", "RON", "RONALD", "RONNIE", "CASEY", "KC", "MARYANN",
                                      "POLLY", "ONEIL", "NEIL", "JOS\xc9", "PEPE", "SMITH"};
    for (const std::string& text : texts) {
        const NicknameTable table = loaded(text);
        EXPECT_EQ(table.names(), plain.names()) << text;
        EXPECT_EQ(table.words(), plain.words()) << text;
        for (const std::string& a : words) {
            EXPECT_EQ(canonicalNames(table, a), canonicalNames(plain, a)) << a << " in " << text;
            for (const std::string& b : words) EXPECT_EQ(table.related(a, b), plain.related(a, b)) << a << " " << b;
        }
    }
}

TEST(NicknameTable, RefusesMalformedLinesByTheirNumber) {
    const std::string header = "name1,relationship,name2\n";
    struct Case {
        std::string text, problem;
    } cases[] = {
        {"", "the table is empty: it begins with the header name1,relationship,name2"},
        {"\r\n  \n", "the table is empty: it begins with the header name1,relationship,name2"},
        {"robert,has_nickname,bob\n",
         "line 1: the table begins with the header name1,relationship,name2, not \"robert,has_nickname,bob\""},
        {"\nname,nickname\n", "line 2: the table begins with the header name1,relationship,name2, not \"name,nickname\""},
        {header + "robert,has_nickname,bob\nrobert,bob\n", "line 3: 2 fields where a row has 3: name,has_nickname,nickname"},
        {header + "robert\n", "line 2: 1 field where a row has 3: name,has_nickname,nickname"},
        {header + "robert,has_nickname,bob,rob\n", "line 2: 4 fields where a row has 3: name,has_nickname,nickname"},
        {header + "robert,is_cousin,bob\n", "line 2: the relationship is \"is_cousin\", where only has_nickname is known"},
        {header + "\n\nrobert, ,bob\n", "line 4: the relationship is \"\", where only has_nickname is known"},
        {header + " ,has_nickname,bob\n", "line 2: the name is empty"},
        {header + "robert,has_nickname,\n", "line 2: the nickname is empty"},
        {header + "robert,has_nickname,'.'\n", "line 2: the nickname \"'.'\" has no letter or digit"},
        {header + "--,has_nickname,bob\n", "line 2: the name \"--\" has no letter or digit"},
        // A long line is cut short in the message.
        {std::string(100, 'x') + "\n",
         "line 1: the table begins with the header name1,relationship,name2, not \"" + std::string(60, 'x') + "...\""},
        // Lines counted the same with CR LF, blank lines included.
        {"name1,relationship,name2\r\nrobert,has_nickname,bob\r\n\r\nrobert;has_nickname;rob\r\n",
         "line 4: 1 field where a row has 3: name,has_nickname,nickname"},
    };
    for (const Case& c : cases) {
        NicknameTable table = loaded(kTable);  // what it held goes
        std::string problem;
        EXPECT_FALSE(table.load(c.text, &problem)) << c.text;
        EXPECT_EQ(problem, c.problem) << c.text;
        EXPECT_TRUE(table.empty());
        EXPECT_EQ(table.names(), 0u);
        EXPECT_FALSE(table.related("ROBERT", "BOB"));
    }
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The rows of names.csv as the matching's words: the file is lower-case
// ASCII, so upper case with the dots dropped.
std::vector<std::pair<std::string, std::string>> shippedRows() {
    std::istringstream lines(fileText(OVRIN_SOURCE_DIR "/data/nicknames/names.csv"));
    std::vector<std::pair<std::string, std::string>> rows;
    std::string line;
    std::getline(lines, line);  // the header
    auto word = [](const std::string& field) {
        std::string w;
        for (char c : field)
            if (c >= 'a' && c <= 'z') w += static_cast<char>(c - 32);
        return w;
    };
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find(','), second = line.rfind(',');
        rows.emplace_back(word(line.substr(0, first)), word(line.substr(second + 1)));
    }
    return rows;
}

TEST(ShippedNicknames, AreTheFileOfTheSourceLoaded) {
    const std::string file = fileText(OVRIN_SOURCE_DIR "/data/nicknames/names.csv");
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(shippedNicknameCsv() == file);  // byte for byte, CR LF and all
    NicknameTable table;
    std::string problem;
    EXPECT_TRUE(loadNicknameText(shippedNicknameCsv(), false, &table, &problem)) << problem;
    EXPECT_EQ(table.names(), shippedNicknames().names());

    const auto rows = shippedRows();
    std::set<std::string> names;
    for (const auto& row : rows) names.insert(row.first);
    EXPECT_EQ(shippedNicknames().names(), names.size());
    EXPECT_GT(names.size(), 1000u);
    // Every row relates its two words, and the name holds itself.
    for (const auto& row : rows) {
        EXPECT_TRUE(shippedNicknames().related(row.first, row.second)) << row.first << " " << row.second;
        EXPECT_TRUE(shippedNicknames().related(row.second, row.first)) << row.first << " " << row.second;
        std::vector<std::string> of = canonicalNames(shippedNicknames(), row.first);
        EXPECT_NE(std::find(of.begin(), of.end(), row.first), of.end()) << row.first;
    }
    // Two nicknames of one name meet through it.
    EXPECT_TRUE(shippedNicknames().related("BOB", "ROBBY"));
}

// --nicknames as group and link read it, from their command line.
struct Settings {
    int status;
    PersonSettings settings;
    std::string err;
};

Settings readFrom(std::vector<std::string> arguments) {
    Options options;
    std::vector<std::string> words;
    std::string problem;
    EXPECT_TRUE(parseOptions(arguments, &options, &words, &problem)) << problem;
    Library library;
    MemorySource in("");
    MemorySink out, err;
    Console console{&in, &out, &err, false, false};
    CommandContext context{library, console, options, {}, {}};
    Settings read;
    read.status = readSettings(context, &read.settings);
    read.err = err.text;
    return read;
}

std::string writeFile(const std::string& name, const std::string& text) {
    std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(NicknamesOption, ChoosesTheTableBuiltInAFileOrNone) {
    const Settings shipped = readFrom({"group"});
    EXPECT_EQ(shipped.status, EXIT_DONE);
    EXPECT_EQ(shipped.settings.engine.nicknames, &shippedNicknames());

    const Settings none = readFrom({"link", "--nicknames", "none"});
    EXPECT_EQ(none.status, EXIT_DONE);
    EXPECT_EQ(none.settings.engine.nicknames, nullptr);

    // A file in UTF-8 (with a byte order mark): its table, in the
    // matching's Windows-1252 form, kept alive by the settings and their
    // copies.
    const std::string path = writeFile("nicknames_utf8.csv", "\xEF\xBB\xBFname1,relationship,name2\nJos\xC3\xA9,has_nickname,Pepe\n");
    PersonSettings copy;
    {
        Settings file = readFrom({"group", "--nicknames", path});
        EXPECT_EQ(file.status, EXIT_DONE) << file.err;
        copy = file.settings;
    }
    ASSERT_NE(copy.engine.nicknames, nullptr);
    EXPECT_EQ(copy.engine.nicknames, copy.nicknameFile.get());
    EXPECT_TRUE(copy.engine.nicknames->related("JOS\xC9", "PEPE"));
    EXPECT_FALSE(copy.engine.nicknames->related("ROBERT", "BOB"));  // the file's table only

    // With --encoding cp1252 the bytes are taken as they are.
    const std::string cp1252 = writeFile("nicknames_cp1252.csv", "name1,relationship,name2\njos\xE9,has_nickname,pepe\n");
    const Settings bytes = readFrom({"group", "--encoding", "cp1252", "--nicknames=" + cp1252});
    EXPECT_EQ(bytes.status, EXIT_DONE) << bytes.err;
    ASSERT_NE(bytes.settings.engine.nicknames, nullptr);
    EXPECT_TRUE(bytes.settings.engine.nicknames->related("JOS\xC9", "PEPE"));
}

TEST(NicknamesOption, RefusesATableItCannotReadOrThatIsMalformed) {
    const std::string missing = testing::TempDir() + "no_such_nicknames.csv";
    std::remove(missing.c_str());
    const std::string malformed = writeFile("nicknames_malformed.csv", "name1,relationship,name2\r\nrob,bob\r\n");
    const std::string notUtf8 = writeFile("nicknames_latin1.csv", "name1,relationship,name2\n\njos\xE9,has_nickname,pepe\n");
    const std::string badName =
        writeFile("nicknames_bad_name.csv", "name1,relationship,name2\n\xC2\xAB\xC2\xBB,has_nickname,pepe\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"group", "--nicknames", missing},
         "ovrin: cannot read the nickname table " + missing + ": No such file or directory\n"},
        {{"link", "--nicknames", testing::TempDir()},
         "ovrin: cannot read the nickname table " + testing::TempDir() + ": Is a directory\n"},
        {{"link", "--nicknames", malformed},
         "ovrin: " + malformed + ": line 2: 2 fields where a row has 3: name,has_nickname,nickname\n"},
        {{"group", "--nicknames", notUtf8}, "ovrin: " + notUtf8 + ": line 3: invalid UTF-8\n"},
        // The name in the message as it was written: «», in UTF-8 again.
        {{"group", "--nicknames", badName},
         "ovrin: " + badName + ": line 2: the name \"\xC2\xAB\xC2\xBB\" has no letter or digit\n"},
    };
    for (const Case& c : cases) {
        const Settings read = readFrom(c.arguments);
        EXPECT_EQ(read.status, EXIT_USAGE) << c.arguments.back();
        EXPECT_EQ(read.err, c.message);
    }
}

}  // namespace
