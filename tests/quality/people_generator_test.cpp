// The export modes of the people generator: a seed gives the same records,
// every kind of trouble appears and its label tells what was done to the
// record, copies are copies, near namesakes grow with the list, and the
// scripts mode writes each person in their own script on one side and in
// Latin letters on the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "people_generator.h"
#include "scripts.h"

namespace {

const ExportLists& lists() {
    static const ExportLists loaded = [] {
        ExportLists l;
        std::string problem;
        EXPECT_TRUE(readExportLists(OVRIN_PEOPLE_NAMES, OVRIN_NICKNAMES, &l, &problem)) << problem;
        return l;
    }();
    return loaded;
}

Mix mixOf(const std::string& name) {
    Mix mix;
    EXPECT_TRUE(mixNamed(name, &mix)) << name;
    return mix;
}

std::vector<std::string> labelsOf(const std::string& errors) {
    std::vector<std::string> out;
    for (size_t from = 0; from <= errors.size() && !errors.empty();) {
        size_t to = errors.find(';', from);
        out.push_back(errors.substr(from, to == std::string::npos ? std::string::npos : to - from));
        if (to == std::string::npos) break;
        from = to + 1;
    }
    return out;
}

size_t distance(const std::string& a, const std::string& b) {
    std::u32string x = scripts::decode(a), y = scripts::decode(b);
    std::vector<size_t> row(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= x.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= y.size(); ++j) {
            size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[y.size()];
}

// The fields of a record and of its person, side by side.
struct Fields {
    std::string first, last, year, dob, city, email;
    std::vector<std::string*> all() { return {&first, &last, &year, &dob, &city, &email}; }
};

Fields fieldsOf(const ExportRecord& r) { return {r.first, r.last, r.birthYear, r.dob, r.city, r.emailUser}; }
Fields fieldsOf(const ExportPerson& p) { return {p.first, p.last, std::to_string(p.year), p.dob, p.city, p.email}; }

// The fields, by name, in which the record differs from its person.
std::set<std::string> changed(const ExportRecord& r, const ExportPerson& p) {
    static const char* const kNames[] = {"first", "last", "year", "dob", "city", "email"};
    Fields a = fieldsOf(r), b = fieldsOf(p);
    std::set<std::string> out;
    for (size_t i = 0; i < 6; ++i)
        if (*a.all()[i] != *b.all()[i]) out.insert(kNames[i]);
    return out;
}

// The one name that changed, or false when not exactly one did.
bool oneName(const ExportRecord& r, const ExportPerson& p, std::string* was, std::string* is) {
    std::set<std::string> c = changed(r, p);
    if (c != std::set<std::string>{"first"} && c != std::set<std::string>{"last"}) return false;
    bool first = c.count("first") > 0;
    *was = first ? p.first : p.last;
    *is = first ? r.first : r.last;
    return true;
}

std::string folded(const std::string& text) {
    std::u32string letters = scripts::decode(text);
    for (char32_t& c : letters)
        if (char32_t plain = scripts::withoutMark(c)) c = plain;
    return scripts::encode(letters);
}

std::string lettersOnly(const std::string& text) {
    std::string out;
    for (char c : scripts::lower(text))
        if (c != ' ' && c != '-' && c != '\'') out += c;
    return out;
}

bool onlyField(const ExportRecord& r, const ExportPerson& p, const std::string& field) {
    return changed(r, p) == std::set<std::string>{field};
}

// Only `field` changed, and `value`, the record's, is empty.
bool emptied(const ExportRecord& r, const ExportPerson& p, const std::string& field, const std::string& value) {
    return onlyField(r, p, field) && value.empty();
}

// What a record that carries one label alone holds against its person.
using Check = std::function<bool(const ExportRecord&, const ExportPerson&, const Export&)>;

const std::map<std::string, Check>& checks() {
    static const std::map<std::string, Check> kChecks = {
        {"", [](const ExportRecord& r, const ExportPerson& p, const Export&) { return changed(r, p).empty(); }},
        {"typo",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::string was, is;
             return oneName(r, p, &was, &is) && distance(was, is) == 1;
         }},
        {"typos",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::string was, is;
             return oneName(r, p, &was, &is) && distance(was, is) <= 2;
         }},
        {"transpose",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::string was, is;
             if (!oneName(r, p, &was, &is)) return false;
             std::u32string a = scripts::decode(was), b = scripts::decode(is);
             std::u32string sortedA = a, sortedB = b;
             std::sort(sortedA.begin(), sortedA.end());
             std::sort(sortedB.begin(), sortedB.end());
             return sortedA == sortedB && distance(was, is) == 2;
         }},
        {"sound",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::string was, is;
             return oneName(r, p, &was, &is) && distance(was, is) <= 3;
         }},
        {"ocr",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::string was, is;
             return oneName(r, p, &was, &is) && distance(was, is) <= 2;
         }},
        {"accent",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::string was, is;
             return oneName(r, p, &was, &is) && folded(was) == folded(is) && distance(was, is) == 1;
         }},
        {"mixedscript",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::string was, is;
             if (!oneName(r, p, &was, &is) || distance(was, is) != 1) return false;
             return scripts::scriptOf(was) != scripts::Script::Latin && scripts::isAscii(was) == false &&
                    std::any_of(is.begin(), is.end(), [](char c) { return c >= 'A' && c <= 'z'; });
         }},
        {"nickname",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             const auto& nicknames = lists().nicknames;
             auto found = nicknames.find(scripts::lower(p.first));
             return onlyField(r, p, "first") && found != nicknames.end() &&
                    std::count(found->second.begin(), found->second.end(), scripts::lower(r.first)) == 1;
         }},
        {"title",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             return onlyField(r, p, "first") && r.first.size() > p.first.size() + 1 &&
                    r.first.compare(r.first.size() - p.first.size() - 1, std::string::npos, " " + p.first) == 0;
         }},
        {"suffix",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             if (!onlyField(r, p, "last") || r.last.compare(0, p.last.size(), p.last) != 0) return false;
             std::string rest = r.last.substr(p.last.size());
             return (rest.compare(0, 1, " ") == 0 || rest.compare(0, 2, ", ") == 0) && rest.size() <= 6;
         }},
        {"swap",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             return r.first == p.last && r.last == p.first && changed(r, p) == std::set<std::string>{"first", "last"};
         }},
        {"married",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             return onlyField(r, p, "last") && !r.last.empty();
         }},
        {"initial",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::u32string is = scripts::decode(r.first), was = scripts::decode(p.first);
             return onlyField(r, p, "first") && (is.size() == 1 || (is.size() == 2 && is[1] == U'.')) && is[0] == was[0];
         }},
        {"parts",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::string was, is;
             return oneName(r, p, &was, &is) && lettersOnly(was).find(lettersOnly(is)) != std::string::npos;
         }},
        {"case",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::set<std::string> c = changed(r, p);
             auto caseless = [](const std::string& text) { return scripts::upper(scripts::lower(text)); };
             return !c.empty() && !c.count("year") && !c.count("dob") && !c.count("email") &&
                    caseless(r.first) == caseless(p.first) && caseless(r.last) == caseless(p.last) &&
                    caseless(r.city) == caseless(p.city);
         }},
        {"nofirst", [](const ExportRecord& r, const ExportPerson& p, const Export&) { return emptied(r, p, "first", r.first); }},
        {"nolast", [](const ExportRecord& r, const ExportPerson& p, const Export&) { return emptied(r, p, "last", r.last); }},
        {"noyear", [](const ExportRecord& r, const ExportPerson& p, const Export&) { return emptied(r, p, "year", r.birthYear); }},
        {"nodob", [](const ExportRecord& r, const ExportPerson& p, const Export&) { return emptied(r, p, "dob", r.dob); }},
        {"nocity", [](const ExportRecord& r, const ExportPerson& p, const Export&) { return emptied(r, p, "city", r.city); }},
        {"noemail", [](const ExportRecord& r, const ExportPerson& p, const Export&) { return emptied(r, p, "email", r.emailUser); }},
        {"yearoff",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             return onlyField(r, p, "year") && std::abs(std::stoi(r.birthYear) - p.year) == 1;
         }},
        {"dobswap",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             return onlyField(r, p, "dob") && r.dob == p.dob.substr(0, 5) + p.dob.substr(8, 2) + "-" + p.dob.substr(5, 2);
         }},
        {"dobtranspose",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             if (!onlyField(r, p, "dob") || r.dob.size() != p.dob.size()) return false;
             size_t at = 0;
             while (r.dob[at] == p.dob[at]) ++at;
             return r.dob[at] == p.dob[at + 1] && r.dob[at + 1] == p.dob[at] &&
                    r.dob.substr(at + 2) == p.dob.substr(at + 2);
         }},
        {"dobdigit",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             if (!onlyField(r, p, "dob") || r.dob.size() != p.dob.size()) return false;
             size_t differ = 0;
             for (size_t i = 0; i < r.dob.size(); ++i) differ += r.dob[i] != p.dob[i];
             return differ == 1;
         }},
        {"moved", [](const ExportRecord& r, const ExportPerson& p, const Export&) { return onlyField(r, p, "city") && !r.city.empty(); }},
        {"cityspelling",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) { return onlyField(r, p, "city") && !r.city.empty(); }},
        {"otheremail",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) { return onlyField(r, p, "email") && !r.emailUser.empty(); }},
        {"latin",
         [](const ExportRecord& r, const ExportPerson& p, const Export&) {
             std::set<std::string> c = changed(r, p);
             if (c.empty() || c.count("year") || c.count("dob") || c.count("email")) return false;
             if (!scripts::isAscii(r.first + r.last + r.city) || scripts::isAscii(p.first + p.last + p.city)) return false;
             // The names as one of the ways of writing them in Latin letters.
             for (int s = 0; s < scripts::kSpellings; ++s) {
                 auto spelling = static_cast<scripts::Spelling>(s);
                 if (r.first == scripts::toLatin(p.first, spelling) && r.last == scripts::toLatin(p.last, spelling)) return true;
             }
             return false;
         }},
        {"copy",
         [](const ExportRecord& r, const ExportPerson& p, const Export& all) {
             // The record as the person writes it, imported again.
             return changed(r, p).empty() && std::any_of(all.records.begin(), all.records.end(), [&r](const ExportRecord& o) {
                        return o.truth == r.truth && o.id != r.id && o.errors.empty();
                    });
         }},
        {"namesake",
         [](const ExportRecord& r, const ExportPerson& p, const Export& all) {
             if (!changed(r, p).empty() || p.namesakeOf == 0) return false;
             const ExportPerson& other = all.people[p.namesakeOf - 1];
             size_t apart = distance(p.first, other.first) + distance(p.last, other.last);
             return apart == 1 && p.year == other.year && (p.dob.empty() || p.dob != other.dob);
         }},
    };
    return kChecks;
}

TEST(PeopleExport, TheSameSeedGivesTheSameRecords) {
    for (const Mix& mix : allMixes()) {
        std::string once = toExportCsv(makeExport(lists(), 7, 1500, mix).records);
        EXPECT_EQ(once, toExportCsv(makeExport(lists(), 7, 1500, mix).records)) << mix.name;
        EXPECT_NE(once, toExportCsv(makeExport(lists(), 8, 1500, mix).records)) << mix.name;

        std::vector<PersonRecord> a1, b1, a2, b2, a3, b3;
        makeScriptLists(lists(), 7, 500, mix, &a1, &b1);
        makeScriptLists(lists(), 7, 500, mix, &a2, &b2);
        makeScriptLists(lists(), 8, 500, mix, &a3, &b3);
        EXPECT_EQ(toCsv(a1) + toCsv(b1), toCsv(a2) + toCsv(b2)) << mix.name;
        EXPECT_NE(toCsv(a1) + toCsv(b1), toCsv(a3) + toCsv(b3)) << mix.name;
    }
}

TEST(PeopleExport, RecordsAreAsManyAsAskedAndWrittenInTheirColumns) {
    Export out = makeExport(lists(), 3, 5000, mixOf("default"));
    // About as many: the last person's copies may pass the number.
    EXPECT_GE(out.records.size(), 5000u);
    EXPECT_LT(out.records.size(), 5000u + 210);
    std::string csv = toExportCsv(out.records);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "id,truth,first,last,birth_year,dob,city,email_user,errors");
    for (size_t i = 0; i < out.records.size(); ++i) {
        const ExportRecord& r = out.records[i];
        EXPECT_EQ(r.id, i + 1);
        ASSERT_GE(r.truth, 1u);
        ASSERT_LE(r.truth, out.people.size());
        EXPECT_TRUE(scripts::isAscii(r.emailUser)) << r.emailUser;
    }
}

TEST(PeopleExport, EveryKindOfTroubleAppearsAndItsLabelTellsWhatWasDone) {
    Export out = makeExport(lists(), 5, 40000, mixOf("default"));
    std::map<std::string, size_t> seen, alone;
    for (const ExportRecord& r : out.records) {
        std::vector<std::string> labels = labelsOf(r.errors);
        for (const std::string& label : labels) ++seen[label];
        if (labels.size() > 1) continue;
        std::string label = labels.empty() ? "" : labels[0];
        ++alone[label];
        auto check = checks().find(label);
        ASSERT_NE(check, checks().end()) << "no check of \"" << label << "\"";
        const ExportPerson& p = out.people[r.truth - 1];
        EXPECT_TRUE(check->second(r, p, out))
            << "record " << r.id << " labelled \"" << label << "\": " << r.first << "|" << r.last << "|" << r.birthYear << "|"
            << r.dob << "|" << r.city << "|" << r.emailUser << " against " << p.first << "|" << p.last << "|" << p.year
            << "|" << p.dob << "|" << p.city << "|" << p.email;
    }
    // Every label, alone on some records, so that each check above ran.
    for (const std::string& label : exportErrorLabels()) {
        EXPECT_GT(seen[label], 0u) << label;
        EXPECT_GT(alone[label], 0u) << label;
    }
    EXPECT_EQ(seen.size(), exportErrorLabels().size());
}

TEST(PeopleExport, CopiesAreCopiesAndSomeComeByTheHundred) {
    struct Case {
        const char* mix;
        bool bursts;  // some record imported 20 to 200 times
    };
    const Case cases[] = {{"many-copies", true}, {"default", false}};
    size_t copiesOfDefault = 0, copiesOfMany = 0;
    for (const Case& c : cases) {
        Export out = makeExport(lists(), 11, 10000, mixOf(c.mix));
        // Records alike in every field, the copies among them apart.
        std::map<std::vector<std::string>, std::pair<size_t, size_t>> alike;  // fields: copies, others
        size_t copies = 0;
        for (const ExportRecord& r : out.records) {
            std::vector<std::string> labels = labelsOf(r.errors);
            bool copy = !labels.empty() && labels.back() == "copy";
            if (copy) labels.pop_back();
            std::string errors;
            for (const std::string& l : labels) errors += l + ";";
            std::vector<std::string> key = {std::to_string(r.truth), r.first, r.last, r.birthYear, r.dob, r.city, r.emailUser, errors};
            (copy ? alike[key].first : alike[key].second) += 1;
            copies += copy;
        }
        size_t largest = 0;
        for (const auto& group : alike) {
            // Each copy has its original, as it was, with the same errors.
            EXPECT_GE(group.second.second, 1u) << c.mix << ": copies without their record: " << group.first[1];
            largest = std::max(largest, group.second.first);
        }
        EXPECT_LE(largest, 200u + 3) << c.mix;
        if (c.bursts) {
            EXPECT_GE(largest, 20u) << c.mix;
        }
        EXPECT_GT(copies, 0u) << c.mix;
        (c.bursts ? copiesOfMany : copiesOfDefault) = copies;
    }
    EXPECT_GT(copiesOfMany, 2 * copiesOfDefault);
}

TEST(PeopleExport, NearNamesakesGrowWithTheList) {
    // The share of people made near namesakes of another, in a small list
    // and in one ten times as large.
    double share[2];
    const uint32_t sizes[2] = {3000, 30000};
    for (int i = 0; i < 2; ++i) {
        Export out = makeExport(lists(), 13, sizes[i], mixOf("default"));
        size_t namesakes = std::count_if(out.people.begin(), out.people.end(), [](const ExportPerson& p) { return p.namesakeOf > 0; });
        share[i] = static_cast<double>(namesakes) / static_cast<double>(out.people.size());
    }
    EXPECT_GT(share[1], 4 * share[0]);
    EXPECT_GT(share[0], 0.0);
    // And the mix that asks for more has more.
    Export many = makeExport(lists(), 13, 30000, mixOf("many-namesakes"));
    size_t manyNamesakes = std::count_if(many.people.begin(), many.people.end(), [](const ExportPerson& p) { return p.namesakeOf > 0; });
    EXPECT_GT(static_cast<double>(manyNamesakes) / static_cast<double>(many.people.size()), 3 * share[1]);
}

TEST(PeopleExport, NamesOfManyCountriesInTheirOwnScriptAndInLatinLetters) {
    Export out = makeExport(lists(), 17, 20000, mixOf("default"));
    std::map<scripts::Script, size_t> ownScript;
    size_t marked = 0, latinOfOthers = 0;
    for (const ExportRecord& r : out.records) {
        std::string names = r.first + r.last;
        ++ownScript[scripts::scriptOf(names)];
        marked += scripts::scriptOf(names) == scripts::Script::Latin && !scripts::isAscii(names);
        const ExportPerson& p = out.people[r.truth - 1];
        latinOfOthers += scripts::scriptOf(p.first + p.last) != scripts::Script::Latin && scripts::isAscii(names) &&
                         !names.empty();
    }
    EXPECT_GT(ownScript[scripts::Script::Cyrillic], 100u);
    EXPECT_GT(ownScript[scripts::Script::Greek], 50u);
    EXPECT_GT(marked, 1000u);
    EXPECT_GT(latinOfOthers, 100u);
    std::set<std::string> countries;
    for (const ExportPerson& p : out.people) countries.insert(p.country);
    EXPECT_EQ(countries.size(), 15u);
}

TEST(PeopleScripts, AHoldsTheirOwnScriptAndBLatinLetters) {
    std::vector<PersonRecord> a, b;
    makeScriptLists(lists(), 19, 3000, mixOf("default"), &a, &b);
    EXPECT_EQ(b.size(), 3000u);
    std::map<scripts::Script, size_t> scriptsOfA;
    std::set<uint32_t> inA, inB;
    for (const PersonRecord& r : a) {
        std::string names = r.fields.given + r.fields.surname;
        EXPECT_FALSE(scripts::isAscii(names)) << names;
        EXPECT_TRUE(r.errors.empty()) << r.errors;
        ++scriptsOfA[scripts::scriptOf(names)];
        inA.insert(r.truth);
    }
    std::map<uint32_t, const PersonRecord*> aOf;
    for (const PersonRecord& r : a) aOf[r.truth] = &r;
    size_t spelled = 0;
    for (const PersonRecord& r : b) {
        EXPECT_TRUE(scripts::isAscii(r.fields.given + r.fields.surname + r.name)) << r.name;
        EXPECT_EQ(labelsOf(r.errors).at(0), "latin");
        inB.insert(r.truth);
        // B's names are A's as one of the Latin spellings writes them.
        auto partner = aOf.find(r.truth);
        if (partner == aOf.end() || r.errors != "latin") continue;
        for (int s = 0; s < scripts::kSpellings; ++s) {
            auto spelling = static_cast<scripts::Spelling>(s);
            if (scripts::toLatin(partner->second->fields.given, spelling) == r.fields.given &&
                scripts::toLatin(partner->second->fields.surname, spelling) == r.fields.surname) {
                ++spelled;
                break;
            }
        }
        EXPECT_EQ(partner->second->fields.dob, r.fields.dob);
    }
    EXPECT_GT(spelled, 1000u);
    EXPECT_GT(scriptsOfA[scripts::Script::Cyrillic], 300u);
    EXPECT_GT(scriptsOfA[scripts::Script::Greek], 300u);
    EXPECT_GT(scriptsOfA[scripts::Script::Latin], 300u);  // Polish and Turkish letters
    // People of both, of A alone and of B alone.
    size_t both = 0;
    for (uint32_t t : inA) both += inB.count(t);
    EXPECT_GT(both, 2000u);
    EXPECT_GT(inA.size() - both, 400u);
    EXPECT_GT(inB.size() - both, 400u);
}

TEST(PeopleExport, MissingListsAreReported) {
    struct Case {
        const char* names;
        const char* nicknames;
        const char* mentioned;
    };
    const Case cases[] = {
        {"/nonexistent", OVRIN_NICKNAMES, "/nonexistent/given.tsv"},
        {OVRIN_PEOPLE_NAMES, "/nonexistent/names.csv", "/nonexistent/names.csv"},
    };
    for (const Case& c : cases) {
        ExportLists l;
        std::string problem;
        EXPECT_FALSE(readExportLists(c.names, c.nicknames, &l, &problem));
        EXPECT_NE(problem.find(c.mentioned), std::string::npos) << problem;
    }
}

}  // namespace
