// ovrin group and ovrin link against a plain reference: every pair of
// records compared through the library with no shortcut (no classes, no
// cheap tests, no pair passed over), over random lists full of repeats,
// case and punctuation variants, names without letters, names without a
// code and names over 255 bytes. The command must give exactly the same
// groups, keys, pairs and order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>

#include "../../cli/command.h"
#include "../../records/encoding.h"
#include "../../host/host_calls.h"
#include "../../host/host_args.h"

namespace {

const char* const kNames[] = {
    "Meyer",   "Maier",    "Mayer",   "Meier",    "Myers",   "Moore",   "Smith",    "Smyth",   "Smit",
    "Schmidt", "Schmitt",  "Jansen",  "Jensen",   "Johnson", "Jonson",  "Katherine", "Catherine", "Kathryn",
    "Thomas",  "Tomas",    "Xavier",  "Javier",   "Gonzalez", "Gonzales", "Philip",  "Phillip", "Filip",
    "Çelik",   "Elik",     "O'Brien", "OBrien",   "obrien",  "Mc Donald", "MacDonald", "Müller", "Mueller",
    "Muller",  "123",      "45",      "Lee",      "Li",      "Leigh",   "Ñúñez",    "Nunez",   "Wright",
    "Rite",    "Knight",   "Night",   "Agnes",    "Ines",
};

struct Ref {
    Library library;
    std::vector<FunctionRow> table;
    int32_t number(const char* name) {
        for (const FunctionRow& row : table)
            if (row.name == name) return row.id;
        return -1;
    }
    // One call with fresh copies of the names.
    CallOutcome call(const char* function, std::vector<std::string> names, std::vector<int32_t> integers) {
        std::vector<std::vector<char>> buffers;
        std::vector<HostValue> args;
        for (const std::string& n : names) buffers.emplace_back(n.begin(), n.end()), buffers.back().push_back('\0');
        for (auto& b : buffers) args.push_back(stringArg(b.data()));
        for (int32_t i : integers) args.push_back(integerArg(i));
        CallOutcome outcome;
        callFunction(library, number(function), args.data(), static_cast<int32_t>(args.size()), &outcome);
        EXPECT_EQ(outcome.flag, 0) << function;
        return outcome;
    }
    std::vector<std::string> codes(const std::string& name, const std::string& key) {
        std::string text;
        if (key == "dmetaphone") text = call("ovdoublemetaphone", {name}, {4}).text;
        else if (key == "soundex") text = call("ovsoundex", {name}, {0}).text;
        else text = call("ovphonex", {name}, {}).text;
        std::vector<std::string> out;
        size_t tab = text.find('\t');
        out.push_back(text.substr(0, tab));
        if (tab != std::string::npos) out.push_back(text.substr(tab + 1));
        std::vector<std::string> kept;
        for (const std::string& c : out)
            if (!c.empty() && std::find(kept.begin(), kept.end(), c) == kept.end()) kept.push_back(c);
        return kept;
    }
    bool confirmed(const std::string& a, const std::string& b, const std::string& confirm) {
        if (confirm == "none") return true;
        if (confirm == "guth")
            return call("ovguthmatch", {a, b}, {1}).intValue == 1 && call("ovguthmatch", {b, a}, {1}).intValue == 1;
        int32_t d = call("ovlevenshtein", {a, b}, {}).intValue;
        return d >= 0 && d <= std::atoi(confirm.c_str() + 12);
    }
};

std::string randomName(std::mt19937& random) {
    std::string name = kNames[random() % (sizeof kNames / sizeof kNames[0])];
    switch (random() % 8) {
    case 0: {  // a letter changed, doubled or dropped
        size_t p = 1 + random() % (name.size() - 1);
        if (static_cast<unsigned char>(name[p]) >= 0x80) break;
        int op = static_cast<int>(random() % 3);
        if (op == 0) name[p] = "aeiouy"[random() % 6];
        else if (op == 1) name.insert(p, 1, name[p]);
        else name.erase(p, 1);
        break;
    }
    case 1:  // case and punctuation
        for (char& c : name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (random() % 2) name += ".";
        break;
    case 2:
        if (random() % 10 == 0) name = "";  // no name
        else if (random() % 10 == 0) name = std::string(250 + random() % 20, 'a') + name;  // long
        break;
    default: break;
    }
    return name;
}

std::string toCp1252(const std::string& utf8) {
    std::string out(utf8.size(), '\0');
    EncodingProblem problem;
    out.resize(utf8ToCp1252(utf8.data(), utf8.size(), &out[0], &problem));
    return out;
}

std::string fromCp1252(const std::string& text) {
    std::string out(text.size() * 3, '\0');
    out.resize(cp1252ToUtf8(text.data(), text.size(), &out[0]));
    return out;
}

std::string run(Ref& ref, const std::vector<std::string>& arguments, const std::string& input, std::string* err) {
    (void)ref;
    MemorySource in(input);
    MemorySink out, errors;
    Console console{&in, &out, &errors, false, false};
    runCommand(ref.library, arguments, console);
    *err = errors.text;
    return out.text;
}

class GroupReference : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(openLibrary(nullptr, &ref.library, &error)) << error;
        ref.table = readFunctionTable(ref.library);
    }
    Ref ref;
};

TEST_F(GroupReference, SameGroupsKeysAndOrderAsEveryPairCompared) {
    std::mt19937 random(1234);
    for (const char* key : {"dmetaphone", "soundex", "phonex"}) {
        for (const char* confirm : {"levenshtein:2", "levenshtein:0", "guth", "none"}) {
            for (int round = 0; round < 3; ++round) {
                size_t count = 40 + random() % 160;
                std::vector<std::string> names;
                std::string input;
                for (size_t i = 0; i < count; ++i) {
                    names.push_back(randomName(random));
                    input += std::to_string(i + 1) + "\t" + names.back() + "\n";
                }
                // Every pair, through the library.
                std::vector<std::vector<std::string>> codes(count);
                for (size_t i = 0; i < count; ++i)
                    if (!names[i].empty()) codes[i] = ref.codes(toCp1252(names[i]), key);
                std::vector<size_t> parent(count);
                for (size_t i = 0; i < count; ++i) parent[i] = i;
                auto root = [&](size_t i) {
                    while (parent[i] != i) i = parent[i];
                    return i;
                };
                std::vector<std::vector<bool>> joins(count, std::vector<bool>(count, false));
                std::vector<std::vector<std::string>> shared(count, std::vector<std::string>(count));
                for (size_t i = 0; i < count; ++i)
                    for (size_t j = i + 1; j < count; ++j) {
                        for (const std::string& c : codes[i])
                            if (shared[i][j].empty() && std::find(codes[j].begin(), codes[j].end(), c) != codes[j].end())
                                shared[i][j] = c;
                        if (shared[i][j].empty()) continue;
                        if (!ref.confirmed(toCp1252(names[i]), toCp1252(names[j]), confirm)) continue;
                        joins[i][j] = true;
                        size_t ri = root(i), rj = root(j);
                        if (ri != rj) parent[std::max(ri, rj)] = std::min(ri, rj);
                    }
                std::vector<size_t> size(count, 0);
                for (size_t i = 0; i < count; ++i) ++size[root(i)];
                // The expected output: groups by first record, records alone
                // in place, with the key of the first record's earliest
                // look-alike.
                std::string expected;
                std::vector<bool> written(count, false);
                int group = 0;
                for (size_t i = 0; i < count; ++i) {
                    if (written[i]) continue;
                    size_t r = root(i);
                    if (size[r] == 1) {
                        expected += std::to_string(i + 1) + "\t" + names[i] + "\t\t\n";
                        continue;
                    }
                    ++group;
                    size_t look = i + 1;
                    while (!joins[i][look]) ++look;
                    std::string k = fromCp1252(shared[i][look]);
                    for (size_t j = i; j < count; ++j)
                        if (root(j) == r) {
                            expected += std::to_string(j + 1) + "\t" + names[j] + "\t" + std::to_string(group) + "\t" + k + "\n";
                            written[j] = true;
                        }
                }
                std::string err;
                std::string out = run(ref, {"group", "--all", "--field", "2", "--key", key, "--confirm", confirm}, input, &err);
                ASSERT_EQ(out, expected) << key << " " << confirm << " round " << round << "\ninput:\n" << input << err;
            }
        }
    }
}

TEST_F(GroupReference, LinkSamePairsAsEveryPairCompared) {
    std::mt19937 random(99);
    for (const char* key : {"dmetaphone", "soundex"}) {
        for (const char* confirm : {"levenshtein:2", "guth", "none"}) {
            for (bool best : {false, true}) {
                std::vector<std::string> a, b;
                std::string aText, bText;
                for (size_t i = 0; i < 30; ++i) aText += (a.push_back(randomName(random)), a.back()) + "\n";
                for (size_t i = 0; i < 60; ++i) bText += (b.push_back(randomName(random)), b.back()) + "\n";
                std::string aPath = ::testing::TempDir() + "link_a.txt", bPath = ::testing::TempDir() + "link_b.txt";
                FILE* f = std::fopen(aPath.c_str(), "wb");
                std::fwrite(aText.data(), 1, aText.size(), f);
                std::fclose(f);
                f = std::fopen(bPath.c_str(), "wb");
                std::fwrite(bText.data(), 1, bText.size(), f);
                std::fclose(f);

                std::string expected;
                for (size_t i = 0; i < a.size(); ++i) {
                    if (a[i].empty()) continue;
                    std::string ai = toCp1252(a[i]);
                    std::vector<std::string> ca = ref.codes(ai, key);
                    std::string bestLine;
                    int32_t bestPercent = -1, bestDistance = 0;
                    for (size_t j = 0; j < b.size(); ++j) {
                        if (b[j].empty()) continue;
                        std::string bj = toCp1252(b[j]);
                        std::vector<std::string> cb = ref.codes(bj, key);
                        std::string k;
                        for (const std::string& c : ca)
                            if (k.empty() && std::find(cb.begin(), cb.end(), c) != cb.end()) k = c;
                        if (k.empty() || !ref.confirmed(ai, bj, confirm)) continue;
                        int32_t percent = ref.call("ovguthmatch", {ai, bj}, {2}).intValue;
                        int32_t distance = ref.call("ovlevenshtein", {ai, bj}, {}).intValue;
                        std::string line = a[i] + "\t" + b[j] + "\t" + std::to_string(i + 1) + "\t" + std::to_string(j + 1) +
                                           "\t" + fromCp1252(k) + "\t" + std::to_string(percent) + "\t" +
                                           std::to_string(distance) + "\n";
                        if (!best) expected += line;
                        else if (percent > bestPercent || (percent == bestPercent && distance < bestDistance)) {
                            bestLine = line;
                            bestPercent = percent;
                            bestDistance = distance;
                        }
                    }
                    expected += bestLine;
                }
                std::vector<std::string> arguments = {"link", "--key", key, "--confirm", confirm, aPath, bPath};
                if (best) arguments.push_back("--best");
                std::string err;
                std::string out = run(ref, arguments, "", &err);
                ASSERT_EQ(out, expected) << key << " " << confirm << (best ? " --best" : "") << "\nA:\n"
                                         << aText << "B:\n" << bText << err;
                std::remove(aPath.c_str());
                std::remove(bPath.c_str());
            }
        }
    }
}

}  // namespace
