#include "people_generator.h"

#include <algorithm>
#include <fstream>
#include <utility>

#include "scripts.h"

namespace {

// UTF-8 text as a list of characters, so that an edit never splits one.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

std::string joined(const std::vector<std::string>& chars) {
    std::string out;
    for (const std::string& c : chars) out += c;
    return out;
}

bool isLetter(const std::string& c) {
    return c.size() > 1 || (c[0] >= 'a' && c[0] <= 'z') || (c[0] >= 'A' && c[0] <= 'Z');
}

// Keys next to each letter on a QWERTY keyboard, where a finger slips to.
const char* const kNeighbours[26] = {
    /* a */ "qwsz", /* b */ "vghn", /* c */ "xdfv", /* d */ "serfcx", /* e */ "wsdr",  /* f */ "drtgvc",
    /* g */ "ftyhbv", /* h */ "gyujnb", /* i */ "ujko", /* j */ "huikmn", /* k */ "jiolm", /* l */ "kop",
    /* m */ "njk",  /* n */ "bhjm", /* o */ "iklp", /* p */ "ol",     /* q */ "wa",    /* r */ "edft",
    /* s */ "awedxz", /* t */ "rfgy", /* u */ "yhji", /* v */ "cfgb", /* w */ "qase", /* x */ "zsdc",
    /* y */ "tghu", /* z */ "asx",
};

// The rows of the Cyrillic (ЙЦУКЕН) and Greek keyboards.
const char32_t* const kCyrillicRows[] = {U"йцукенгшщзхъ", U"фывапролджэ", U"ячсмитьбю"};
const char32_t* const kGreekRows[] = {U"ςερτυθιοπ", U"ασδφγηξκλ", U"ζχψωβνμ"};

// A key next to a Cyrillic or Greek letter on its keyboard, in the
// letter's case; empty for any other letter.
std::string slipOnOwnKeyboard(const std::string& c, Random& random) {
    std::u32string code = scripts::decode(c);
    if (code.size() != 1 || (!scripts::isCyrillic(code[0]) && !scripts::isGreek(code[0]))) return "";
    char32_t key = scripts::lower(code[0]);
    if (char32_t base = scripts::withoutMark(key)) key = base;
    const char32_t* const* rows = scripts::isCyrillic(key) ? kCyrillicRows : kGreekRows;
    for (int row = 0; row < 3; ++row) {
        std::u32string keys = rows[row];
        size_t at = keys.find(key);
        if (at == std::u32string::npos) continue;
        std::u32string near;
        if (at > 0) near += keys[at - 1];
        if (at + 1 < keys.size()) near += keys[at + 1];
        for (int other : {row - 1, row + 1}) {
            if (other < 0 || other > 2) continue;
            std::u32string line = rows[other];
            if (at < line.size()) near += line[at];
            if (at > 0 && at - 1 < line.size()) near += line[at - 1];
        }
        char32_t out = near[random.below(static_cast<uint32_t>(near.size()))];
        bool capital = scripts::lower(code[0]) != code[0];
        return scripts::encode(capital ? scripts::upper(out) : out);
    }
    return "";
}

std::string slip(const std::string& c, Random& random) {
    if (c.size() > 1) {
        std::string own = slipOnOwnKeyboard(c, random);
        if (!own.empty()) return own;
    }
    char lower = c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z' ? static_cast<char>(c[0] + 32) : c[0];
    if (c.size() > 1 || lower < 'a' || lower > 'z') return std::string(1, static_cast<char>('a' + random.below(26)));
    const char* keys = kNeighbours[lower - 'a'];
    std::string out(1, keys[random.below(static_cast<uint32_t>(std::char_traits<char>::length(keys)))]);
    if (lower != c[0]) out[0] = static_cast<char>(out[0] - 32);
    return out;
}

// One typing error: a letter replaced by a neighbour, dropped, doubled or
// a neighbour inserted. The first letter is spared more often than not,
// as in real typing.
bool typo(std::string& name, Random& random) {
    std::vector<std::string> chars = characters(name);
    if (chars.size() < 2) return false;
    size_t at = random.chance(0.8) ? 1 + random.below(static_cast<uint32_t>(chars.size() - 1))
                                   : random.below(static_cast<uint32_t>(chars.size()));
    switch (random.below(4)) {
        case 0: chars[at] = slip(chars[at], random); break;
        case 1: chars.erase(chars.begin() + at); break;
        case 2: chars.insert(chars.begin() + at, chars[at]); break;
        default: chars.insert(chars.begin() + at, slip(chars[at], random)); break;
    }
    name = joined(chars);
    return true;
}

bool transpose(std::string& name, Random& random) {
    std::vector<std::string> chars = characters(name);
    if (chars.size() < 3) return false;
    size_t at = 1 + random.below(static_cast<uint32_t>(chars.size() - 2));
    if (chars[at] == chars[at + 1] || !isLetter(chars[at]) || !isLetter(chars[at + 1])) return false;
    std::swap(chars[at], chars[at + 1]);
    name = joined(chars);
    return true;
}

// Replaces one occurrence, chosen at random, of one of the rules' left
// sides (found in lower case) by its right side, keeping a capital first
// letter. False when no rule applies.
bool respell(std::string& name, const std::vector<std::pair<const char*, const char*>>& rules, Random& random) {
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    std::vector<std::pair<size_t, size_t>> found;  // position, rule
    for (size_t r = 0; r < rules.size(); ++r)
        for (size_t at = lower.find(rules[r].first); at != std::string::npos;
             at = lower.find(rules[r].first, at + 1))
            found.push_back({at, r});
    if (found.empty()) return false;
    std::pair<size_t, size_t> pick = found[random.below(static_cast<uint32_t>(found.size()))];
    std::string from = rules[pick.second].first, to = rules[pick.second].second;
    bool capital = pick.first == 0 && name[0] >= 'A' && name[0] <= 'Z';
    if (capital && !to.empty() && to[0] >= 'a' && to[0] <= 'z') to[0] = static_cast<char>(to[0] - 32);
    name.replace(pick.first, from.size(), to);
    return true;
}

// Spellings that sound alike, as a clerk writes a name heard.
const std::vector<std::pair<const char*, const char*>> kSoundAlike = {
    {"ph", "f"},  {"f", "ph"},   {"th", "t"},  {"ck", "k"},   {"c", "k"},   {"k", "c"},   {"y", "i"},
    {"i", "y"},   {"ie", "y"},   {"ei", "ai"}, {"ai", "ei"},  {"ey", "ay"}, {"z", "s"},   {"s", "z"},
    {"w", "v"},   {"v", "w"},    {"ou", "u"},  {"oo", "u"},   {"ee", "i"},  {"sch", "sh"}, {"sh", "sch"},
    {"mm", "m"},  {"nn", "n"},   {"ll", "l"},  {"tt", "t"},   {"ss", "s"},  {"dt", "t"},  {"tz", "z"},
    {"x", "ks"},  {"qu", "kw"},  {"gh", "g"},  {"ch", "k"},   {"j", "y"},   {"an", "en"}, {"er", "ar"},
};

// What a scanner misreads.
const std::vector<std::pair<const char*, const char*>> kScannedAs = {
    {"rn", "m"}, {"m", "rn"}, {"o", "0"}, {"l", "1"}, {"i", "1"}, {"cl", "d"}, {"e", "c"}, {"h", "b"},
};

// Letters written without their accents, or as German writes them without
// the dots.
const std::vector<std::pair<const char*, const char*>> kPlainLetters = {
    {"ü", "ue"}, {"ü", "u"}, {"ö", "oe"}, {"ö", "o"}, {"ä", "ae"}, {"ä", "a"}, {"é", "e"}, {"è", "e"},
    {"á", "a"},  {"í", "i"}, {"ó", "o"},  {"ç", "c"}, {"ñ", "n"},  {"Ö", "O"}, {"Ç", "C"},
};

// Hyphens, apostrophes and particles written another way: Smith-Jones as
// Smith Jones, SmithJones or Smith; O'Brien as OBrien or O Brien; van den
// Berg as Vandenberg or Berg.
bool joinParts(std::string& name, Random& random) {
    size_t mark = name.find_first_of("-' ");
    if (mark == std::string::npos) return false;
    std::string out;
    switch (random.below(3)) {
        case 0:
            for (char c : name) out += c == '-' || c == '\'' ? ' ' : c;
            break;
        case 1:
            for (size_t i = 0; i < name.size(); ++i) {
                if (name[i] == '-' || name[i] == '\'' || name[i] == ' ') continue;
                out += name[i];
            }
            for (size_t i = 1; i < out.size(); ++i)
                if (out[i] >= 'A' && out[i] <= 'Z' && random.chance(0.5)) out[i] = static_cast<char>(out[i] + 32);
            if (out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
            break;
        default:
            // One part: the first of a double name, the last after a particle.
            if (name[mark] == '-') out = name.substr(0, mark);
            else out = name.substr(name.find_last_of("' ") + 1);
            break;
    }
    if (out.empty() || out == name) return false;
    name = out;
    return true;
}

// Blanks around or inside, or the case of the whole name changed.
bool blanksAndCase(std::string& name, Random& random) {
    if (name.empty()) return false;
    switch (random.below(4)) {
        case 0:
            name = (random.chance(0.5) ? "  " : " ") + name + (random.chance(0.5) ? " " : "");
            break;
        case 1:
            for (char& c : name)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
            break;
        case 2:
            for (char& c : name)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            break;
        default: {
            size_t blank = name.find(' ');
            if (blank == std::string::npos) name += "  ";
            else name.insert(blank, " ");
            break;
        }
    }
    return true;
}

const int kDaysIn[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool validDate(const std::string& d) {
    if (d.size() != 10) return false;
    int month = (d[5] - '0') * 10 + (d[6] - '0'), day = (d[8] - '0') * 10 + (d[9] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= kDaysIn[month - 1];
}

// One digit of the year's last two, the month or the day typed wrong; the
// date stays a date.
bool wrongDigit(std::string& digits, const std::vector<size_t>& places, bool isDate, Random& random) {
    if (digits.empty()) return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::string out = digits;
        size_t at = places[random.below(static_cast<uint32_t>(places.size()))];
        out[at] = static_cast<char>('0' + (out[at] - '0' + 1 + random.below(9)) % 10);
        if (!isDate || validDate(out)) {
            digits = out;
            return true;
        }
    }
    return false;
}

bool swapDayAndMonth(std::string& dob) {
    if (dob.empty() || dob.substr(5, 2) == dob.substr(8, 2)) return false;
    std::string out = dob.substr(0, 5) + dob.substr(8, 2) + "-" + dob.substr(5, 2);
    if (!validDate(out)) return false;
    dob = out;
    return true;
}

// The index of an entry in a list of `count`, most frequent first: rank r
// (from 0) is drawn with weight 1 / (r + offset), the falling share that
// name and town tables show.
uint32_t frequentFirstWith(uint32_t count, double offset, Random& random) {
    double total = 0;
    for (uint32_t r = 0; r < count; ++r) total += 1 / (r + offset);
    double pick = (random.next() >> 11) * (1.0 / 9007199254740992.0) * total;
    for (uint32_t r = 0; r < count; ++r) {
        pick -= 1 / (r + offset);
        if (pick < 0) return r;
    }
    return count - 1;
}

// A name's index. The offset of 10 keeps the first few from weighing as
// much as a pure 1 / (r + 1) would: a country's most common name is a few
// percent of its people, not a fifth. (A town's is 3: a capital holds a
// tenth of a country.)
uint32_t frequentFirst(uint32_t count, Random& random) { return frequentFirstWith(count, 10, random); }

// Any entry of the country, each as likely.
const std::string& anyOf(const std::vector<NameEntry>& list, const std::string& country, Random& random) {
    std::vector<uint32_t> of;
    for (uint32_t i = 0; i < list.size(); ++i)
        if (list[i].country == country) of.push_back(i);
    return list[of[random.below(static_cast<uint32_t>(of.size()))]].name;
}

// Two parts of a name, a letter doubled at the joint written once.
std::string joinedAt(const std::string& first, const std::string& second) {
    if (!first.empty() && !second.empty() && first.back() == second[0]) return first + second.substr(1);
    return first + second;
}

const std::string& nameOf(const std::vector<NameEntry>& list, const std::string& country, Random& random) {
    uint32_t from = 0, count = 0;
    for (uint32_t i = 0; i < list.size(); ++i)
        if (list[i].country == country) {
            if (count == 0) from = i;
            ++count;
        }
    return list[from + frequentFirst(count, random)].name;
}

// A common surname one time in ten, else one made of parts.
std::string surnameOf(const NameLists& lists, const std::string& country, Random& random) {
    if (random.chance(0.1)) return nameOf(lists.surnames, country, random);
    std::string name = anyOf(lists.starts, country, random);
    if (random.chance(0.5)) name = joinedAt(name, anyOf(lists.middles, country, random));
    return joinedAt(name, anyOf(lists.ends, country, random));
}

std::string twoDigits(int n) { return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10); }

template <typename Record>
void shuffle(std::vector<Record>& records, Random& random) {
    for (size_t i = records.size(); i > 1; --i) std::swap(records[i - 1], records[random.below(static_cast<uint32_t>(i))]);
    for (size_t i = 0; i < records.size(); ++i) records[i].id = static_cast<uint32_t>(i + 1);
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

PersonRecord recordOf(uint32_t truth, const Person& person, const std::string& errors, Random& random) {
    PersonRecord record;
    record.truth = truth;
    record.fields = person;
    record.name = fullName(person, random);
    record.errors = errors;
    return record;
}

}  // namespace

uint64_t Random::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

// Given names, surnames and the parts of made surnames from the three files.
bool readLists(const std::string& directory, const char* const files[3], NameLists* lists, std::string* problem) {
    std::vector<NameEntry>* targets[3] = {&lists->given, &lists->surnames, nullptr};
    for (int f = 0; f < 3; ++f) {
        std::string path = directory + "/" + files[f];
        std::ifstream in(path);
        if (!in) {
            *problem = "cannot read " + path;
            return false;
        }
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#') continue;
            size_t tab = line.find('\t');
            if (tab == std::string::npos) {
                *problem = path + ": no TAB in \"" + line + "\"";
                return false;
            }
            NameEntry entry{line.substr(0, tab), line.substr(tab + 1)};
            std::vector<NameEntry>* target = targets[f];
            if (!target) {
                // start|middle|end<TAB>PART
                size_t second = entry.name.find('\t');
                std::string kind = entry.name.substr(0, second);
                target = kind == "start" ? &lists->starts : kind == "middle" ? &lists->middles : &lists->ends;
                entry.name = second == std::string::npos ? std::string() : entry.name.substr(second + 1);
            }
            if (entry.name.empty()) {
                *problem = path + ": no name in \"" + line + "\"";
                return false;
            }
            target->push_back(entry);
        }
    }
    return true;
}

}  // namespace

bool readNameLists(const std::string& directory, NameLists* lists, std::string* problem) {
    static const char* const kFiles[3] = {"given.tsv", "surnames.tsv", "surname_parts.tsv"};
    return readLists(directory, kFiles, lists, problem);
}

Person makePerson(const NameLists& lists, Random& random) {
    // Countries by their share of the people, roughly as a European
    // customer list has them.
    static const std::pair<const char*, int> kCountries[] = {
        {"gb", 20}, {"de", 15}, {"fr", 12}, {"es", 11}, {"it", 10},
        {"pl", 9},  {"nl", 7},  {"ie", 6},  {"se", 6},  {"tr", 4},
    };
    uint32_t pick = random.below(100);
    const char* country = kCountries[0].first;
    for (const auto& c : kCountries) {
        if (pick < static_cast<uint32_t>(c.second)) {
            country = c.first;
            break;
        }
        pick -= c.second;
    }
    Person person;
    // Now and then a name of another country's list or a rare one of the
    // own: the long tail that a real population's given names have.
    if (random.chance(0.15)) person.given = lists.given[random.below(static_cast<uint32_t>(lists.given.size()))].name;
    else person.given = nameOf(lists.given, country, random);
    person.surname = surnameOf(lists, country, random);
    if (country == std::string("es") && random.chance(0.8)) {
        person.surname += " " + surnameOf(lists, country, random);
    } else if (random.chance(0.04)) {
        std::string second = surnameOf(lists, country, random);
        if (second != person.surname && second.find(' ') == std::string::npos) person.surname += "-" + second;
    }
    int year = 1930 + static_cast<int>(random.below(80)), month = 1 + static_cast<int>(random.below(12));
    int day = 1 + static_cast<int>(random.below(static_cast<uint32_t>(kDaysIn[month - 1])));
    person.dob = std::to_string(year) + "-" + twoDigits(month) + "-" + twoDigits(day);
    person.postcode = std::to_string(10000 + random.below(90000));
    return person;
}

Person spoil(const Person& person, Random& random, std::string* errors) {
    // Each error with its weight: how often it is drawn among those that
    // apply to the record.
    enum Kind { TYPO, TWO_TYPOS, TRANSPOSE, SOUND, SCAN, ACCENT, PARTS, BLANKS, INITIAL, SWAP, NO_NAME,
                NO_DOB, NO_POSTCODE, DOB_DIGIT, DOB_SWAP, POSTCODE_DIGIT, KINDS };
    static const std::pair<const char*, int> kErrors[KINDS] = {
        {"typo", 20},  {"typos", 5},   {"transpose", 8}, {"sound", 12},   {"scan", 6},     {"accent", 5},
        {"parts", 5},  {"blanks", 10}, {"initial", 3},   {"swap", 6},     {"noname", 4},   {"nodob", 5},
        {"nopostcode", 5}, {"dobdigit", 8}, {"dobswap", 4}, {"postcodedigit", 6},
    };
    int total = 0;
    for (const auto& e : kErrors) total += e.second;

    Person out = person;
    uint32_t wanted = random.chance(0.5) ? 1 : random.chance(0.7) ? 2 : 3;
    errors->clear();
    for (uint32_t done = 0, attempts = 0; done < wanted && attempts < 50; ++attempts) {
        int pick = static_cast<int>(random.below(static_cast<uint32_t>(total)));
        int kind = 0;
        while (pick >= kErrors[kind].second) pick -= kErrors[kind++].second;
        std::string& name = random.chance(0.45) ? out.given : out.surname;
        bool applied = false;
        switch (kind) {
            case TYPO: applied = typo(name, random); break;
            case TWO_TYPOS: applied = typo(name, random) && typo(name, random); break;
            case TRANSPOSE: applied = transpose(name, random); break;
            case SOUND: applied = respell(name, kSoundAlike, random); break;
            case SCAN: applied = respell(name, kScannedAs, random); break;
            case ACCENT: applied = respell(name, kPlainLetters, random); break;
            case PARTS: applied = joinParts(name, random); break;
            case BLANKS: applied = blanksAndCase(name, random); break;
            case INITIAL:
                if (&name == &out.given && name.size() > 1) {
                    name = characters(name)[0] + (random.chance(0.5) ? "." : "");
                    applied = true;
                }
                break;
            case SWAP:
                std::swap(out.given, out.surname);
                applied = true;
                break;
            case NO_NAME:
                // One name stays: a record without either is no use to anyone.
                applied = !out.given.empty() && !out.surname.empty();
                if (applied) name.clear();
                break;
            case NO_DOB:
                applied = !out.dob.empty();
                out.dob.clear();
                break;
            case NO_POSTCODE:
                applied = !out.postcode.empty();
                out.postcode.clear();
                break;
            case DOB_DIGIT: applied = wrongDigit(out.dob, {2, 3, 5, 6, 8, 9}, true, random); break;
            case DOB_SWAP: applied = swapDayAndMonth(out.dob); break;
            case POSTCODE_DIGIT: applied = wrongDigit(out.postcode, {0, 1, 2, 3, 4}, false, random); break;
        }
        if (!applied) continue;
        if (!errors->empty()) *errors += ";";
        *errors += kErrors[kind].first;
        ++done;
    }
    return out;
}

std::string fullName(const Person& person, Random& random) {
    if (person.given.empty()) return person.surname;
    if (person.surname.empty()) return person.given;
    if (random.chance(0.15)) return person.surname + ", " + person.given;
    return person.given + " " + person.surname;
}

std::vector<PersonRecord> makeGroupList(const NameLists& lists, uint64_t seed, uint32_t people) {
    Random random(seed);
    std::vector<PersonRecord> records;
    for (uint32_t p = 1; p <= people; ++p) {
        Person person = makePerson(lists, random);
        records.push_back(recordOf(p, person, "", random));
        // Half the people once, the others with one to four copies.
        uint32_t copies = random.chance(0.5) ? 0 : random.chance(0.5) ? 1 : random.chance(0.5) ? 2 : 3 + random.below(2);
        for (uint32_t c = 0; c < copies; ++c) {
            std::string errors;
            Person copy = spoil(person, random, &errors);
            records.push_back(recordOf(p, copy, errors, random));
        }
    }
    shuffle(records, random);
    return records;
}

void makeLinkLists(const NameLists& lists, uint64_t seed, uint32_t people, std::vector<PersonRecord>* a,
                   std::vector<PersonRecord>* b) {
    Random random(seed);
    a->clear();
    b->clear();
    for (uint32_t p = 1; p <= people; ++p) {
        Person person = makePerson(lists, random);
        b->push_back(recordOf(p, person, "", random));
        if (random.chance(0.8)) {
            std::string errors;
            Person copy = spoil(person, random, &errors);
            a->push_back(recordOf(p, copy, errors, random));
        }
    }
    for (uint32_t p = people + 1; p <= people + people / 5; ++p)
        a->push_back(recordOf(p, makePerson(lists, random), "", random));
    shuffle(*a, random);
    shuffle(*b, random);
}

std::string toCsv(const std::vector<PersonRecord>& records) {
    std::string out = "id,truth,given,surname,name,dob,postcode,errors\n";
    for (const PersonRecord& r : records) {
        out += std::to_string(r.id) + "," + std::to_string(r.truth) + "," + csvField(r.fields.given) + "," +
               csvField(r.fields.surname) + "," + csvField(r.name) + "," + r.fields.dob + "," +
               r.fields.postcode + "," + r.errors + "\n";
    }
    return out;
}

// ---------------------------------------------------------------------------
// The export modes.

namespace {

using scripts::Spelling;

double uniform(Random& random) { return (random.next() >> 11) * (1.0 / 9007199254740992.0); }

// Countries by their share of an export's people. `native`: the names come
// from the lists in the country's own script; `names`: the country whose
// lists give the names (Americans take the British ones).
struct ExportCountry {
    const char* code;
    int share;
    bool native;
    const char* names;
};
const ExportCountry kExportCountries[] = {
    {"gb", 14, false, "gb"}, {"us", 10, false, "gb"}, {"de", 12, true, "de"}, {"fr", 8, false, "fr"},
    {"es", 7, false, "es"},  {"it", 7, false, "it"},  {"pl", 8, true, "pl"},  {"nl", 5, false, "nl"},
    {"ie", 4, false, "ie"},  {"se", 4, false, "se"},  {"tr", 6, true, "tr"},  {"no", 3, true, "no"},
    {"dk", 3, true, "dk"},   {"ru", 6, true, "ru"},   {"gr", 3, true, "gr"},
};

const ExportCountry& exportCountry(const std::string& code) {
    for (const ExportCountry& c : kExportCountries)
        if (code == c.code) return c;
    return kExportCountries[0];
}

bool englishSpeaking(const std::string& country) { return country == "gb" || country == "us" || country == "ie"; }

// The lists and the mix of a run, with the towns of each country found once.
struct Context {
    const ExportLists& lists;
    const Mix& mix;
    std::map<std::string, std::vector<int>> towns;

    Context(const ExportLists& l, const Mix& m) : lists(l), mix(m) {
        for (size_t i = 0; i < lists.towns.size(); ++i) towns[lists.towns[i].country].push_back(static_cast<int>(i));
    }
    const NameLists& namesOf(const std::string& country) const {
        return exportCountry(country).native ? lists.native : lists.names;
    }
};

// The edit distance of two texts, letter by letter.
size_t letterDistance(const std::u32string& a, const std::u32string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A woman's given name by its ending, where the country's surnames agree
// with it: Polish and Russian women's names end in -a or -я, Greek men's
// in -ς (or -λ, -ν: Μιχαήλ, Ξενοφών).
bool female(const std::string& country, const std::string& given) {
    std::u32string name = scripts::decode(given);
    if (name.empty()) return false;
    char32_t last = name.back();
    if (country == "pl") return last == U'a' && given != "Kuba";
    if (country == "ru") return (last == U'а' || last == U'я') && given != "Никита" && given != "Илья";
    if (country == "gr") return last != U'ς' && last != U'λ' && last != U'ν';
    return false;
}

// The surname in the form that agrees with the person's sex: Kowalski and
// Kowalska, Иванов and Иванова, Παπαδόπουλος and Παπαδοπούλου.
std::string agreeing(const std::string& surname, const std::string& country, bool isFemale) {
    struct Form {
        const char* man;
        const char* woman;
        bool back;  // the woman's form is only hers, so a man's can be made of it
    };
    static const std::vector<Form> kPolish = {{"ski", "ska", true}, {"cki", "cka", true}};
    static const std::vector<Form> kRussian = {{"ский", "ская", true}, {"ов", "ова", true}, {"ев", "ева", true},
                                                {"ёв", "ёва", true},    {"ин", "ина", true}, {"ын", "ына", true}};
    static const std::vector<Form> kGreek = {
        {"όπουλος", "οπούλου", true}, {"άκης", "άκη", true}, {"ίδης", "ίδου", true}, {"ιάδης", "ιάδου", true},
        {"ης", "η", true},           {"ής", "ή", false},    {"ός", "ού", false},   {"ος", "ου", false},
        {"άς", "ά", false},          {"ας", "α", false},
    };
    const std::vector<Form>* forms = country == "pl" ? &kPolish : country == "ru" ? &kRussian : country == "gr" ? &kGreek : nullptr;
    if (!forms) return surname;
    for (const Form& f : *forms) {
        const std::string from = isFemale ? f.man : f.woman, to = isFemale ? f.woman : f.man;
        if (!isFemale && !f.back) continue;
        if (endsWith(surname, from)) return surname.substr(0, surname.size() - from.size()) + to;
    }
    return surname;
}

// Two parts of a made town, a letter doubled at the joint written once.
std::string joinedTown(const std::string& start, const std::string& end) {
    if (end.empty() || end[0] == ' ' || end[0] == '-') return start + end;
    std::u32string a = scripts::decode(start), b = scripts::decode(end);
    if (!a.empty() && scripts::lower(a.back()) == scripts::lower(b[0])) b.erase(0, 1);
    return scripts::encode(a + b);
}

// A town of the country: one of the list, the large ones most often, or
// now and then a small place made of parts.
std::string townOf(const Context& context, const std::string& country, Random& random, int* index) {
    const std::vector<int>& towns = context.towns.at(country);
    if (random.chance(0.25)) {
        *index = -1;
        return joinedTown(anyOf(context.lists.townStarts, country, random), anyOf(context.lists.townEnds, country, random));
    }
    *index = towns[frequentFirstWith(static_cast<uint32_t>(towns.size()), 3, random)];
    return context.lists.towns[*index].spellings[0];
}

// A name's ASCII letters in lower case, as an e-mail address holds it.
std::string mailWord(const std::string& name, Spelling spelling) {
    std::string out;
    for (char c : scripts::toLatin(name, spelling)) {
        if (c >= 'A' && c <= 'Z') out += static_cast<char>(c + 32);
        else if (c >= 'a' && c <= 'z') out += c;
    }
    return out;
}

// The user part of an address made of the name, as people choose them:
// anna.kowalska, akowalska, anna_k84...; not `avoid`.
std::string mailUser(const std::string& first, const std::string& last, int year, Spelling spelling, Random& random,
                     const std::string& avoid) {
    std::string f = mailWord(first, spelling), l = mailWord(last, spelling);
    if (f.empty() && l.empty()) return "";
    if (f.empty()) f = l;
    if (l.empty()) l = f;
    std::string yy = twoDigits(year % 100);
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::string user;
        switch (random.below(10)) {
            case 0: case 1: user = f + "." + l; break;
            case 2: user = f + l; break;
            case 3: user = f.substr(0, 1) + "." + l; break;
            case 4: user = f.substr(0, 1) + l; break;
            case 5: user = f + "_" + l; break;
            case 6: user = l + "." + f; break;
            case 7: user = f + yy; break;
            case 8: user = f + "." + l + yy; break;
            default: user = l + f.substr(0, 1) + std::to_string(1 + random.below(99)); break;
        }
        if (user != avoid) return user;
    }
    return f + "." + l + std::to_string(100 + random.below(900));
}

Spelling anySpelling(Random& random) {
    // How often each is met: English most, then the passport's.
    static const double kWeights[scripts::kSpellings] = {4, 3, 1.5, 1, 1};
    double pick = uniform(random) * 10.5;
    for (int s = 0; s < scripts::kSpellings; ++s) {
        pick -= kWeights[s];
        if (pick < 0) return static_cast<Spelling>(s);
    }
    return Spelling::English;
}

// A new person of an export, of `country` or of one drawn by the shares.
ExportPerson makeExportPerson(const Context& context, const char* country, double dobKnown, Random& random) {
    ExportPerson person;
    if (country) {
        person.country = country;
    } else {
        uint32_t pick = random.below(100);
        person.country = kExportCountries[0].code;
        for (const ExportCountry& c : kExportCountries) {
            if (pick < static_cast<uint32_t>(c.share)) {
                person.country = c.code;
                break;
            }
            pick -= c.share;
        }
    }
    const std::string names = exportCountry(person.country).names;
    const NameLists& lists = context.namesOf(person.country);
    // One in ten a rare name of the country: the long tail of given names.
    person.first = random.chance(0.1) ? anyOf(lists.given, names, random) : nameOf(lists.given, names, random);
    person.last = surnameOf(lists, names, random);
    if (person.country == "es" && random.chance(0.8)) {
        person.last += " " + surnameOf(lists, names, random);
    } else if (random.chance(0.03)) {
        std::string second = surnameOf(lists, names, random);
        if (second != person.last && second.find(' ') == std::string::npos) person.last += "-" + second;
    }
    person.last = agreeing(person.last, person.country, female(person.country, person.first));
    person.year = 1930 + static_cast<int>(random.below(80));
    int month = 1 + static_cast<int>(random.below(12));
    int day = 1 + static_cast<int>(random.below(static_cast<uint32_t>(kDaysIn[month - 1])));
    if (random.chance(dobKnown)) person.dob = std::to_string(person.year) + "-" + twoDigits(month) + "-" + twoDigits(day);
    person.city = townOf(context, person.country, random, &person.town);
    person.spelling = static_cast<int>(anySpelling(random));
    if (random.chance(0.85))
        person.email = mailUser(person.first, person.last, person.year, static_cast<Spelling>(person.spelling), random, "");
    return person;
}

const std::u32string& vowelsOf(char32_t letter) {
    static const std::u32string kLatin = U"aeiouy", kCyrillic = U"аеиоуыя", kGreek = U"αεηιοω";
    return scripts::isCyrillic(letter) ? kCyrillic : scripts::isGreek(letter) ? kGreek : kLatin;
}

// The name with one letter changed, as a different person's may be: another
// name of the list one letter away (Jon, John), a vowel changed
// (Kowalski, Kowalska; Meyer, Mayer) or a letter doubled or made single
// (Hofmann, Hoffmann).
std::string oneLetterOff(const std::string& name, const std::vector<NameEntry>* list, const std::string& country,
                         Random& random) {
    std::u32string letters = scripts::decode(name);
    if (list && random.chance(0.5)) {
        std::vector<std::string> near;
        for (const NameEntry& e : *list)
            if (e.country == country && letterDistance(scripts::decode(e.name), letters) == 1) near.push_back(e.name);
        if (!near.empty()) return near[random.below(static_cast<uint32_t>(near.size()))];
    }
    std::vector<size_t> vowels, doubled, single;
    for (size_t i = 0; i < letters.size(); ++i) {
        char32_t small = scripts::lower(letters[i]);
        if (char32_t base = scripts::withoutMark(small)) small = base;
        if (vowelsOf(small).find(small) != std::u32string::npos) vowels.push_back(i);
        else if (i > 0 && letters[i] == letters[i - 1]) doubled.push_back(i);
        else if (i > 0 && small != ' ' && small != '-') single.push_back(i);
    }
    if (!vowels.empty() && (random.chance(0.7) || (doubled.empty() && single.empty()))) {
        size_t at = vowels[random.below(static_cast<uint32_t>(vowels.size()))];
        char32_t small = scripts::lower(letters[at]);
        if (char32_t base = scripts::withoutMark(small)) small = base;
        const std::u32string& choice = vowelsOf(small);
        char32_t other = choice[random.below(static_cast<uint32_t>(choice.size()))];
        if (other == small) other = choice[(choice.find(small) + 1) % choice.size()];
        letters[at] = scripts::lower(letters[at]) == letters[at] ? other : scripts::upper(other);
    } else if (!doubled.empty() && random.chance(0.5)) {
        letters.erase(doubled[random.below(static_cast<uint32_t>(doubled.size()))], 1);
    } else if (!single.empty()) {
        size_t at = single[random.below(static_cast<uint32_t>(single.size()))];
        letters.insert(at, 1, letters[at]);
    } else {
        letters += letters.back();
    }
    return scripts::encode(letters);
}

// A near namesake of `other`: another person of the same country and year
// of birth whose given name or surname is one letter off, even once both
// are written in Latin letters.
ExportPerson nearNamesake(const Context& context, const ExportPerson& other, uint32_t otherTruth, Random& random) {
    ExportPerson person = other;
    person.namesakeOf = otherTruth;
    const std::string names = exportCountry(other.country).names;
    auto plain = [](const ExportPerson& p) { return mailWord(p.first, Spelling::Plain) + " " + mailWord(p.last, Spelling::Plain); };
    for (int attempt = 0; attempt < 20 && plain(person) == plain(other); ++attempt) {
        person.first = other.first;
        person.last = other.last;
        if (random.chance(0.4)) person.first = oneLetterOff(other.first, &context.namesOf(other.country).given, names, random);
        else person.last = oneLetterOff(other.last, nullptr, names, random);
    }
    if (plain(person) == plain(other)) person.last = other.last + other.last.substr(other.last.size() - 1);
    int month = 1 + static_cast<int>(random.below(12));
    int day = 1 + static_cast<int>(random.below(static_cast<uint32_t>(kDaysIn[month - 1])));
    std::string dob = std::to_string(other.year) + "-" + twoDigits(month) + "-" + twoDigits(day);
    if (dob == other.dob) dob = std::to_string(other.year) + "-" + twoDigits(month) + "-" + twoDigits(day % 28 + 1);
    person.dob = random.chance(context.mix.dobKnown) ? dob : "";
    if (!random.chance(0.3)) person.city = townOf(context, other.country, random, &person.town);
    person.spelling = static_cast<int>(anySpelling(random));
    person.email = random.chance(0.85)
                       ? mailUser(person.first, person.last, person.year, static_cast<Spelling>(person.spelling), random, other.email)
                       : "";
    return person;
}

// The kinds of trouble of an export's records, in the order they are
// applied: first what the record says (a nickname, another surname, a
// wrong or missing value), then, after the names and town may have been
// written in Latin letters, how it is written (typing, hearing, scanning,
// marks, titles, case). The weight is how often a kind is drawn among those
// that apply to the record; a mix scales the spelling errors (1) and the
// missing fields (2).
enum ExportErrorKind {
    X_NICKNAME,      // an English given name as its nickname: Robert, Bob
    X_MARRIED,       // another surname, or the old and new joined by a hyphen
    X_SWAP,          // given name and surname swapped
    X_INITIAL,       // the given name's initial, with or without a dot
    X_NOFIRST,       // no given name
    X_NOLAST,        // no surname
    X_YEAROFF,       // the year of birth one off, as from an age
    X_NOYEAR,        // no year of birth
    X_DOBSWAP,       // the date's day and month swapped
    X_DOBTRANSPOSE,  // two neighbouring digits of the date swapped: 1978, 1987
    X_DOBDIGIT,      // a digit of the date wrong
    X_NODOB,         // no date of birth
    X_MOVED,         // another town
    X_NOCITY,        // no town
    X_NOEMAIL,       // no e-mail address
    X_OTHEREMAIL,    // another e-mail address
    X_TYPO,          // a letter slipped on the keyboard, dropped or doubled
    X_TYPOS,         // two of them
    X_TRANSPOSE,     // two neighbouring letters swapped
    X_SOUND,         // written as heard: Meyer, Meier; Андрей, Aндрэй; Χρήστος, Χρίστος
    X_OCR,           // read wrong by a scanner: rn, m; ß, B
    X_ACCENT,        // a mark dropped: é, e; ł, l; ё, е; ά, α
    X_MIXED,         // a Latin letter that looks alike inside a Cyrillic or Greek name
    X_TITLE,         // a title before the given name: Dr., Frau, Mme
    X_SUFFIX,        // a suffix after the surname: Jr, III, sen.
    X_PARTS,         // hyphens, apostrophes and particles written another way
    X_CASE,          // in capitals or in small letters
    X_CITYSPELLING,  // the town spelled another way: St. Louis, Saint Louis; Frankfurt a.M.
    X_KINDS
};
struct ExportError {
    const char* label;
    double weight;
    int scaledBy;  // 1: spelling errors, 2: missing fields
};
const ExportError kExportErrors[X_KINDS] = {
    {"nickname", 10, 0}, {"married", 5, 0},       {"swap", 4, 0},      {"initial", 4, 0},      {"nofirst", 2, 2},
    {"nolast", 2, 2},    {"yearoff", 5, 0},       {"noyear", 4, 2},    {"dobswap", 4, 0},      {"dobtranspose", 3, 0},
    {"dobdigit", 4, 0},  {"nodob", 6, 2},         {"moved", 4, 0},     {"nocity", 5, 2},       {"noemail", 6, 2},
    {"otheremail", 4, 0}, {"typo", 16, 1},        {"typos", 4, 1},     {"transpose", 6, 1},    {"sound", 10, 1},
    {"ocr", 4, 1},       {"accent", 5, 1},        {"mixedscript", 2, 1}, {"title", 4, 0},      {"suffix", 3, 0},
    {"parts", 3, 0},     {"case", 6, 0},          {"cityspelling", 8, 0},
};

// Spellings that sound alike in other languages and scripts, beside
// kSoundAlike.
const std::vector<std::pair<const char*, const char*>> kSoundAlikeCyrillic = {
    {"о", "а"}, {"а", "о"}, {"е", "и"}, {"и", "е"}, {"е", "э"}, {"тс", "ц"}, {"ц", "тс"}, {"в", "ф"},
    {"ф", "в"}, {"д", "т"}, {"з", "с"}, {"б", "п"}, {"ь", ""},  {"нн", "н"}, {"сс", "с"}, {"ья", "ия"},
    {"ия", "ья"}, {"ий", "ый"},
};
const std::vector<std::pair<const char*, const char*>> kSoundAlikeGreek = {
    {"ι", "η"}, {"η", "ι"}, {"υ", "ι"},  {"ει", "ι"}, {"οι", "ι"}, {"ο", "ω"},  {"ω", "ο"},  {"αι", "ε"},
    {"ε", "αι"}, {"ί", "ή"}, {"ή", "ί"}, {"ό", "ώ"},  {"ώ", "ό"},  {"λλ", "λ"}, {"ππ", "π"}, {"σσ", "σ"},
    {"ρρ", "ρ"}, {"ντ", "τ"}, {"μπ", "π"},
};
const std::vector<std::pair<const char*, const char*>> kSoundAlikeMore = {
    {"ó", "u"}, {"u", "ó"}, {"rz", "ż"}, {"ż", "rz"}, {"ch", "h"}, {"ę", "en"}, {"ą", "om"}, {"sz", "sch"},
    {"ı", "i"}, {"ş", "sh"}, {"ç", "ch"}, {"ğ", ""}, {"ß", "s"}, {"ø", "ö"}, {"æ", "e"}, {"å", "o"},
};
const std::vector<std::pair<const char*, const char*>> kScannedAsMore = {
    {"ß", "B"}, {"ł", "t"}, {"ę", "e"}, {"ğ", "g"}, {"ø", "o"},
    {"ш", "щ"}, {"щ", "ш"}, {"и", "й"}, {"й", "и"}, {"п", "л"}, {"л", "п"}, {"н", "и"}, {"о", "0"}, {"з", "3"},
    {"б", "6"}, {"ο", "σ"}, {"ν", "υ"}, {"υ", "ν"}, {"ρ", "p"}, {"η", "n"},
};

// Latin letters that look like Cyrillic and Greek ones.
const std::vector<std::pair<const char*, const char*>> kLookAlikes = {
    {"а", "a"}, {"е", "e"}, {"о", "o"}, {"р", "p"}, {"с", "c"}, {"у", "y"}, {"х", "x"}, {"А", "A"}, {"В", "B"},
    {"Е", "E"}, {"К", "K"}, {"М", "M"}, {"Н", "H"}, {"О", "O"}, {"Р", "P"}, {"С", "C"}, {"Т", "T"}, {"Х", "X"},
    {"Α", "A"}, {"Β", "B"}, {"Ε", "E"}, {"Ζ", "Z"}, {"Η", "H"}, {"Ι", "I"}, {"Κ", "K"}, {"Μ", "M"}, {"Ν", "N"},
    {"Ο", "O"}, {"Ρ", "P"}, {"Τ", "T"}, {"Υ", "Y"}, {"Χ", "X"}, {"ο", "o"}, {"ν", "v"},
};

const std::vector<std::pair<const char*, const char*>>& soundAlikeFor(const std::string& name) {
    static const std::vector<std::pair<const char*, const char*>> kLatin = [] {
        std::vector<std::pair<const char*, const char*>> all = kSoundAlike;
        all.insert(all.end(), kSoundAlikeMore.begin(), kSoundAlikeMore.end());
        return all;
    }();
    scripts::Script script = scripts::scriptOf(name);
    return script == scripts::Script::Cyrillic ? kSoundAlikeCyrillic
           : script == scripts::Script::Greek  ? kSoundAlikeGreek
                                               : kLatin;
}

const std::vector<std::pair<const char*, const char*>>& scannedAs() {
    static const std::vector<std::pair<const char*, const char*>> kAll = [] {
        std::vector<std::pair<const char*, const char*>> all = kScannedAs;
        all.insert(all.end(), kScannedAsMore.begin(), kScannedAsMore.end());
        return all;
    }();
    return kAll;
}

// Replaces one occurrence, chosen at random, of one of the rules' left
// sides as written (case counts); false when none is found.
bool replaceOne(std::string& text, const std::vector<std::pair<const char*, const char*>>& rules, Random& random) {
    std::vector<std::pair<size_t, size_t>> found;
    for (size_t r = 0; r < rules.size(); ++r)
        for (size_t at = text.find(rules[r].first); at != std::string::npos; at = text.find(rules[r].first, at + 1))
            found.push_back({at, r});
    if (found.empty()) return false;
    std::pair<size_t, size_t> pick = found[random.below(static_cast<uint32_t>(found.size()))];
    text.replace(pick.first, std::char_traits<char>::length(rules[pick.second].first), rules[pick.second].second);
    return true;
}

bool hasMarks(const std::string& text) {
    for (char32_t c : scripts::decode(text))
        if (scripts::withoutMark(c)) return true;
    return false;
}

// One mark dropped from a letter of the text.
bool dropMark(std::string& text, Random& random) {
    std::u32string letters = scripts::decode(text);
    std::vector<size_t> marked;
    for (size_t i = 0; i < letters.size(); ++i)
        if (scripts::withoutMark(letters[i])) marked.push_back(i);
    if (marked.empty()) return false;
    size_t at = marked[random.below(static_cast<uint32_t>(marked.size()))];
    letters[at] = scripts::withoutMark(letters[at]);
    text = scripts::encode(letters);
    return true;
}

const std::vector<std::string>& titlesOf(const std::string& country) {
    static const std::map<std::string, std::vector<std::string>> kTitles = {
        {"gb", {"Mr", "Mrs", "Ms", "Miss", "Dr", "Dr.", "Mr.", "Rev."}},
        {"us", {"Mr.", "Mrs.", "Ms.", "Dr.", "Mr", "Dr"}},
        {"ie", {"Mr", "Mrs", "Ms", "Dr"}},
        {"de", {"Herr", "Frau", "Dr.", "Prof. Dr.", "Dipl.-Ing."}},
        {"fr", {"M.", "Mme", "Dr"}},
        {"es", {"Sr.", "Sra.", "D.", "Dña.", "Dr."}},
        {"it", {"Sig.", "Sig.ra", "Dott.", "Dr."}},
        {"nl", {"Dhr.", "Mevr.", "Dr.", "Ir."}},
        {"pl", {"Pan", "Pani", "dr", "inż."}},
        {"tr", {"Bay", "Bayan", "Dr."}},
        {"ru", {"г-н", "г-жа", "д-р"}},
        {"gr", {"κ.", "Δρ."}},
    };
    static const std::vector<std::string> kOthers = {"Dr", "Dr."};
    auto found = kTitles.find(country);
    return found == kTitles.end() ? kOthers : found->second;
}

const std::vector<std::string>& suffixesOf(const std::string& country) {
    static const std::vector<std::string> kEnglish = {"Jr", "Jr.", "Sr", "Sr.", "II", "III", "IV", "PhD"};
    static const std::vector<std::string> kGerman = {"jun.", "sen.", "Jr."};
    static const std::vector<std::string> kDutch = {"jr.", "sr."};
    static const std::vector<std::string> kNone;
    return englishSpeaking(country) ? kEnglish : country == "de" ? kGerman : country == "nl" ? kDutch : kNone;
}

// Ways towns are written short or long, beside their listed spellings.
const std::vector<std::pair<const char*, const char*>> kTownWritings = {
    {"Saint-", "St-"}, {"Saint ", "St. "}, {"Sainte-", "Ste-"}, {"St. ", "Saint "}, {"St ", "St. "},
    {"Sankt ", "St. "}, {"am Main", "a.M."}, {" an der ", " a.d. "}, {" am ", " a. "}, {" im ", " i. "},
    {" upon ", "-upon-"}, {"Bad ", ""}, {"Nowy ", "N. "}, {"Nowa ", "N. "}, {"Санкт-", "С.-"},
    {"Άγιος ", "Άγ. "}, {"-", " "}, {" ", "-"},
};

// The draft of a record: the person's fields as this record holds them.
struct Draft {
    std::string first, last, year, dob, city, email;
    int town = -1;
};

std::string& someName(Draft& draft, Random& random) {
    bool first = random.chance(0.45);
    if (first && draft.first.empty()) first = false;
    if (!first && draft.last.empty()) first = true;
    return first ? draft.first : draft.last;
}

// Spoils one name, the given name or the surname at random, or the other
// when `spoilName` finds nothing to change in the first one.
template <typename Spoil>
void spoilAName(Draft& draft, Random& random, Spoil spoilName) {
    std::string& name = someName(draft, random);
    std::string before = name;
    if (spoilName(name) && name != before) return;
    name = before;
    std::string& other = &name == &draft.first ? draft.last : draft.first;
    if (!other.empty()) spoilName(other);
}

// The date with two neighbouring digits swapped, still a date of the last
// century or this one.
bool transposeDigits(std::string& dob, Random& random) {
    if (dob.empty()) return false;
    static const size_t kPairs[] = {0, 1, 2, 5, 8};
    for (int attempt = 0; attempt < 20; ++attempt) {
        size_t at = kPairs[random.below(5)];
        std::string out = dob;
        std::swap(out[at], out[at + 1]);
        int year = std::stoi(out.substr(0, 4));
        if (out != dob && validDate(out) && year >= 1900 && year <= 2025) {
            dob = out;
            return true;
        }
    }
    return false;
}

bool respellTown(Draft& draft, const Context& context, bool latin, Random& random) {
    if (draft.city.empty()) return false;
    if (draft.town >= 0 && random.chance(0.6)) {
        std::vector<std::string> others;
        for (const std::string& s : context.lists.towns[draft.town].spellings)
            if (s != draft.city && (!latin || scripts::scriptOf(s) == scripts::Script::Latin)) others.push_back(s);
        if (!others.empty()) {
            draft.city = others[random.below(static_cast<uint32_t>(others.size()))];
            return true;
        }
    }
    if (replaceOne(draft.city, kTownWritings, random)) return true;
    if (dropMark(draft.city, random)) return true;
    return typo(draft.city, random);
}

// Whether a kind of trouble can spoil a record of the person.
bool applies(int kind, const ExportPerson& p, const ExportLists& lists, bool latin) {
    std::string names = p.first + p.last;
    switch (kind) {
        case X_NICKNAME: return englishSpeaking(p.country) && lists.nicknames.count(scripts::lower(p.first)) > 0;
        case X_SWAP: return !p.first.empty() && !p.last.empty();
        case X_INITIAL: return scripts::decode(p.first).size() > 1;
        case X_DOBSWAP: case X_DOBTRANSPOSE: case X_DOBDIGIT: case X_NODOB: return !p.dob.empty();
        case X_NOEMAIL: return !p.email.empty();
        case X_ACCENT: return !latin && hasMarks(names);
        case X_MIXED: return !latin && scripts::scriptOf(names) != scripts::Script::Latin;
        case X_SUFFIX: return !suffixesOf(p.country).empty();
        case X_PARTS: return (p.first + p.last).find_first_of("-' ") != std::string::npos;
        default: return true;
    }
}

// Applies one kind of trouble to the draft; false when it changed nothing.
bool spoilDraft(int kind, Draft& d, const ExportPerson& p, const Context& context, bool latin, Random& random) {
    Draft before = d;
    switch (kind) {
        case X_NICKNAME: {
            auto found = context.lists.nicknames.find(scripts::lower(d.first));
            if (found == context.lists.nicknames.end()) return false;
            std::string nick = found->second[random.below(static_cast<uint32_t>(found->second.size()))];
            nick[0] = static_cast<char>(nick[0] >= 'a' && nick[0] <= 'z' ? nick[0] - 32 : nick[0]);
            d.first = nick;
            break;
        }
        case X_MARRIED: {
            const NameLists& lists = context.namesOf(p.country);
            std::string names = exportCountry(p.country).names;
            std::string other = agreeing(surnameOf(lists, names, random), p.country, female(p.country, p.first));
            if (other == d.last) return false;
            d.last = !d.last.empty() && random.chance(0.2) ? d.last + "-" + other : other;
            break;
        }
        case X_SWAP: std::swap(d.first, d.last); break;
        case X_INITIAL: {
            std::u32string letters = scripts::decode(d.first);
            if (letters.size() < 2) return false;
            d.first = scripts::encode(letters[0]) + (random.chance(0.5) ? "." : "");
            break;
        }
        case X_NOFIRST:
            if (d.last.empty()) return false;
            d.first.clear();
            break;
        case X_NOLAST:
            if (d.first.empty()) return false;
            d.last.clear();
            break;
        case X_YEAROFF:
            if (d.year.empty()) return false;
            d.year = std::to_string(std::stoi(d.year) + (random.chance(0.5) ? 1 : -1));
            break;
        case X_NOYEAR: d.year.clear(); break;
        case X_DOBSWAP: swapDayAndMonth(d.dob); break;
        case X_DOBTRANSPOSE: transposeDigits(d.dob, random); break;
        case X_DOBDIGIT: wrongDigit(d.dob, {2, 3, 5, 6, 8, 9}, true, random); break;
        case X_NODOB: d.dob.clear(); break;
        case X_MOVED: d.city = townOf(context, p.country, random, &d.town); break;
        case X_NOCITY: d.city.clear(); break;
        case X_NOEMAIL: d.email.clear(); break;
        case X_OTHEREMAIL:
            d.email = mailUser(p.first, p.last, p.year, anySpelling(random), random, p.email);
            break;
        case X_TYPO: spoilAName(d, random, [&random](std::string& name) { return typo(name, random); }); break;
        case X_TYPOS:
            spoilAName(d, random, [&random](std::string& name) { return typo(name, random) && typo(name, random); });
            break;
        case X_TRANSPOSE: spoilAName(d, random, [&random](std::string& name) { return transpose(name, random); }); break;
        case X_SOUND:
            spoilAName(d, random, [&random](std::string& name) { return respell(name, soundAlikeFor(name), random); });
            break;
        case X_OCR: spoilAName(d, random, [&random](std::string& name) { return respell(name, scannedAs(), random); }); break;
        case X_ACCENT: spoilAName(d, random, [&random](std::string& name) { return dropMark(name, random); }); break;
        case X_MIXED:
            spoilAName(d, random, [&random](std::string& name) { return replaceOne(name, kLookAlikes, random); });
            break;
        case X_TITLE: {
            if (d.first.empty()) return false;
            const std::vector<std::string>& titles = titlesOf(p.country);
            d.first = titles[random.below(static_cast<uint32_t>(titles.size()))] + " " + d.first;
            break;
        }
        case X_SUFFIX: {
            const std::vector<std::string>& suffixes = suffixesOf(p.country);
            if (d.last.empty() || suffixes.empty()) return false;
            d.last += (random.chance(0.2) ? ", " : " ") + suffixes[random.below(static_cast<uint32_t>(suffixes.size()))];
            break;
        }
        case X_PARTS: {
            if (!joinParts(d.last, random)) joinParts(d.first, random);
            break;
        }
        case X_CASE: {
            bool capitals = random.chance(0.7);
            auto change = [capitals](std::string& text) { text = capitals ? scripts::upper(text) : scripts::lower(text); };
            if (random.chance(0.5)) {
                change(d.first);
                change(d.last);
                change(d.city);
            } else {
                change(someName(d, random));
            }
            break;
        }
        case X_CITYSPELLING: respellTown(d, context, latin, random); break;
        default: break;
    }
    return d.first != before.first || d.last != before.last || d.year != before.year || d.dob != before.dob ||
           d.city != before.city || d.email != before.email;
}

// The names and town in Latin letters, as a clerk types them; the town by
// a listed spelling in Latin letters where there is one.
void writeInLatin(Draft& d, Spelling spelling, const Context& context, Random& random) {
    d.first = scripts::toLatin(d.first, spelling);
    d.last = scripts::toLatin(d.last, spelling);
    if (d.city.empty()) return;
    if (d.town >= 0 && random.chance(0.5)) {
        for (const std::string& s : context.lists.towns[d.town].spellings)
            if (s != d.city && scripts::isAscii(s)) {
                d.city = s;
                return;
            }
    }
    d.city = scripts::toLatin(d.city, spelling);
}

// A record of the person: as the person writes it, or (`spoiled`) with one
// to three kinds of trouble; either may be written in Latin letters.
ExportRecord exportRecord(const Context& context, const ExportPerson& p, uint32_t truth, bool spoiled, Random& random) {
    Draft d{p.first, p.last, std::to_string(p.year), p.dob, p.city, p.email, p.town};
    std::vector<std::string> labels;
    if (!spoiled && p.namesakeOf) labels.push_back("namesake");
    bool ownScript = scripts::scriptOf(p.first + p.last + p.city) != scripts::Script::Latin;
    bool latin = !scripts::isAscii(p.first + p.last + p.city) && random.chance(ownScript ? 0.45 : 0.3);
    Spelling spelling = random.chance(0.75) ? static_cast<Spelling>(p.spelling) : anySpelling(random);

    std::vector<int> kinds;
    if (spoiled) {
        const Mix& mix = context.mix;
        uint32_t wanted = (random.chance(0.5) ? 1 : random.chance(0.7) ? 2 : 3) + mix.extraErrors;
        double weights[X_KINDS], total = 0;
        for (int k = 0; k < X_KINDS; ++k) {
            const ExportError& e = kExportErrors[k];
            weights[k] = e.weight * (e.scaledBy == 1 ? mix.spellingErrors : e.scaledBy == 2 ? mix.missingFields : 1);
            total += weights[k];
        }
        for (uint32_t attempts = 0; kinds.size() < wanted && attempts < 50; ++attempts) {
            double pick = uniform(random) * total;
            int kind = 0;
            while (kind + 1 < X_KINDS && pick >= weights[kind]) pick -= weights[kind++];
            if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) continue;
            if (!applies(kind, p, context.lists, latin)) continue;
            kinds.push_back(kind);
        }
        std::sort(kinds.begin(), kinds.end());
    }
    size_t k = 0;
    for (; k < kinds.size() && kinds[k] < X_TYPO; ++k)
        if (spoilDraft(kinds[k], d, p, context, latin, random)) labels.push_back(kExportErrors[kinds[k]].label);
    if (latin) {
        Draft before = d;
        writeInLatin(d, spelling, context, random);
        if (d.first != before.first || d.last != before.last || d.city != before.city) labels.push_back("latin");
    }
    for (; k < kinds.size(); ++k)
        if (spoilDraft(kinds[k], d, p, context, latin, random)) labels.push_back(kExportErrors[kinds[k]].label);

    ExportRecord record;
    record.truth = truth;
    record.first = d.first;
    record.last = d.last;
    record.birthYear = d.year;
    record.dob = d.dob;
    record.city = d.city;
    record.emailUser = d.email;
    for (const std::string& label : labels) record.errors += (record.errors.empty() ? "" : ";") + label;
    return record;
}

ExportRecord copyOf(const ExportRecord& record) {
    ExportRecord copy = record;
    copy.errors += copy.errors.empty() ? "copy" : ";copy";
    return copy;
}

// How many near namesakes among people: a person is made one with a chance
// that grows with the people already made, so that their number grows
// with the square of the list's size, as chance meetings of names in a
// real population do (about 1% of the 9,000 people of 16,000 records, 7%
// of the 55,000 of 100,000).
double namesakeChance(const Mix& mix, size_t people) {
    return std::min(0.3, mix.namesakes * static_cast<double>(people) / 400000.0);
}

}  // namespace

std::vector<Mix> allMixes() {
    std::vector<Mix> mixes(5);
    mixes[0].name = "default";
    mixes[1].name = "heavy-typo";
    mixes[1].spellingErrors = 4;
    mixes[1].extraErrors = 1;
    mixes[1].scriptsSpoiled = 0.8;
    mixes[2].name = "many-copies";
    mixes[2].duplicated = 0.6;
    mixes[2].exactCopies = 0.1;
    mixes[2].bursts = 1 / 300.0;
    mixes[3].name = "many-namesakes";
    mixes[3].namesakes = 6;
    mixes[4].name = "sparse";
    mixes[4].missingFields = 4;
    mixes[4].dobKnown = 0.4;
    return mixes;
}

bool mixNamed(const std::string& name, Mix* mix) {
    for (const Mix& m : allMixes())
        if (m.name == name) {
            *mix = m;
            return true;
        }
    return false;
}

std::vector<std::string> exportErrorLabels() {
    std::vector<std::string> labels;
    for (const ExportError& e : kExportErrors) labels.push_back(e.label);
    labels.push_back("latin");
    labels.push_back("copy");
    labels.push_back("namesake");
    return labels;
}

bool readExportLists(const std::string& directory, const std::string& nicknamesFile, ExportLists* lists,
                     std::string* problem) {
    static const char* const kNative[3] = {"given_native.tsv", "surnames_native.tsv", "surname_parts_native.tsv"};
    if (!readNameLists(directory, &lists->names, problem) || !readLists(directory, kNative, &lists->native, problem))
        return false;
    auto lines = [problem](const std::string& path, std::vector<std::vector<std::string>>* rows, char separator) {
        std::ifstream in(path);
        if (!in) {
            *problem = "cannot read " + path;
            return false;
        }
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            std::vector<std::string> fields;
            for (size_t from = 0;;) {
                size_t to = line.find(separator, from);
                fields.push_back(line.substr(from, to == std::string::npos ? std::string::npos : to - from));
                if (to == std::string::npos) break;
                from = to + 1;
            }
            rows->push_back(fields);
        }
        return true;
    };
    std::vector<std::vector<std::string>> towns, parts, nicknames;
    if (!lines(directory + "/cities.tsv", &towns, '\t') || !lines(directory + "/town_parts.tsv", &parts, '\t') ||
        !lines(nicknamesFile, &nicknames, ','))
        return false;
    for (const auto& row : towns) {
        if (row.size() < 2 || row[1].empty()) {
            *problem = directory + "/cities.tsv: a line without a town";
            return false;
        }
        lists->towns.push_back({row[0], std::vector<std::string>(row.begin() + 1, row.end())});
    }
    for (const auto& row : parts) {
        if (row.size() != 3 || (row[1] != "start" && row[1] != "end") || row[2].empty()) {
            *problem = directory + "/town_parts.tsv: not COUNTRY<TAB>start|end<TAB>PART";
            return false;
        }
        (row[1] == "start" ? lists->townStarts : lists->townEnds).push_back({row[0], row[2]});
    }
    for (const auto& row : nicknames)
        if (row.size() == 3 && row[1] == "has_nickname" && !row[2].empty()) lists->nicknames[row[0]].push_back(row[2]);
    // Every country of the exports needs names and towns.
    for (const ExportCountry& c : kExportCountries) {
        const NameLists& names = c.native ? lists->native : lists->names;
        auto has = [&c](const std::vector<NameEntry>& list, const char* country) {
            return std::any_of(list.begin(), list.end(), [country](const NameEntry& e) { return e.country == country; });
        };
        bool complete = has(names.given, c.names) && has(names.surnames, c.names) && has(names.starts, c.names) &&
                        has(names.middles, c.names) && has(names.ends, c.names) && has(lists->townStarts, c.code) &&
                        has(lists->townEnds, c.code) &&
                        std::any_of(lists->towns.begin(), lists->towns.end(), [&c](const Town& t) { return t.country == c.code; });
        if (!complete) {
            *problem = std::string("the lists of ") + directory + " lack names or towns of " + c.code;
            return false;
        }
    }
    if (lists->nicknames.empty()) {
        *problem = nicknamesFile + ": no nicknames";
        return false;
    }
    return true;
}

Export makeExport(const ExportLists& lists, uint64_t seed, uint32_t records, const Mix& mix) {
    Random random(seed);
    Context context(lists, mix);
    Export out;
    while (out.records.size() < records) {
        uint32_t truth = static_cast<uint32_t>(out.people.size() + 1);
        if (!out.people.empty() && random.chance(namesakeChance(mix, out.people.size()))) {
            uint32_t other = random.below(static_cast<uint32_t>(out.people.size()));
            out.people.push_back(nearNamesake(context, out.people[other], other + 1, random));
        } else {
            out.people.push_back(makeExportPerson(context, nullptr, mix.dobKnown, random));
        }
        const ExportPerson& person = out.people.back();
        uint32_t copies = 0;
        if (random.chance(mix.duplicated))
            copies = random.chance(0.55) ? 1 : random.chance(0.55) ? 2 : random.chance(0.6) ? 3 : 4 + random.below(3);
        std::vector<size_t> own;  // the person's records, not their copies
        for (uint32_t c = 0; c <= copies; ++c) {
            own.push_back(out.records.size());
            out.records.push_back(exportRecord(context, person, truth, c > 0, random));
            // Imported again: once or a few times.
            if (random.chance(mix.exactCopies)) {
                ExportRecord copy = copyOf(out.records.back());
                for (uint32_t n = 1 + random.below(3); n > 0; --n) out.records.push_back(copy);
            }
        }
        // Now and then a record imported again and again, by a job that ran
        // in a loop or a file loaded every night.
        if (random.chance(mix.bursts)) {
            ExportRecord copy = copyOf(out.records[own[random.below(static_cast<uint32_t>(own.size()))]]);
            for (uint32_t n = 20 + random.below(181); n > 0; --n) out.records.push_back(copy);
        }
    }
    shuffle(out.records, random);
    return out;
}

std::string toExportCsv(const std::vector<ExportRecord>& records) {
    std::string out = "id,truth,first,last,birth_year,dob,city,email_user,errors\n";
    for (const ExportRecord& r : records) {
        out += std::to_string(r.id) + "," + std::to_string(r.truth) + "," + csvField(r.first) + "," + csvField(r.last) +
               "," + r.birthYear + "," + r.dob + "," + csvField(r.city) + "," + csvField(r.emailUser) + "," + r.errors +
               "\n";
    }
    return out;
}

void makeScriptLists(const ExportLists& lists, uint64_t seed, uint32_t people, const Mix& mix,
                     std::vector<PersonRecord>* a, std::vector<PersonRecord>* b) {
    Random random(seed);
    Context context(lists, mix);
    a->clear();
    b->clear();
    // People whose names ASCII cannot write: Russians and Greeks, and Poles
    // and Turks with a letter of their own in the name.
    auto person = [&context, &random]() {
        static const std::pair<const char*, int> kCountries[] = {{"ru", 30}, {"gr", 25}, {"pl", 25}, {"tr", 20}};
        uint32_t pick = random.below(100);
        const char* country = "ru";
        for (const auto& c : kCountries) {
            if (pick < static_cast<uint32_t>(c.second)) {
                country = c.first;
                break;
            }
            pick -= c.second;
        }
        ExportPerson p = makeExportPerson(context, country, 1, random);
        for (int attempt = 0; attempt < 50 && scripts::isAscii(p.first + p.last); ++attempt)
            p = makeExportPerson(context, country, 1, random);
        return p;
    };
    auto fieldsOf = [&random](const ExportPerson& p) {
        return Person{p.first, p.last, p.dob, std::to_string(10000 + random.below(90000))};
    };
    for (uint32_t p = 1; p <= people; ++p) {
        ExportPerson own = person();
        Person native = fieldsOf(own);
        Spelling spelling = random.chance(0.75) ? static_cast<Spelling>(own.spelling) : anySpelling(random);
        Person latin = native;
        latin.given = scripts::toLatin(native.given, spelling);
        latin.surname = scripts::toLatin(native.surname, spelling);
        std::string errors = "latin";
        if (random.chance(mix.scriptsSpoiled)) {
            std::string more;
            latin = spoil(latin, random, &more);
            if (!more.empty()) errors += ";" + more;
        }
        b->push_back(recordOf(p, latin, errors, random));
        if (random.chance(0.8)) a->push_back(recordOf(p, native, "", random));
    }
    for (uint32_t p = people + 1; p <= people + people / 5; ++p) a->push_back(recordOf(p, fieldsOf(person()), "", random));
    shuffle(*a, random);
    shuffle(*b, random);
}
