#include "people_generator.h"

#include <fstream>
#include <utility>

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

std::string slip(const std::string& c, Random& random) {
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

// The index of a name in a list of `count`, most frequent first: rank r
// (from 0) is drawn with weight 1 / (r + 10), the falling share that name
// frequency tables show. The offset keeps the first few from weighing as
// much as a pure 1 / (r + 1) would: a country's most common name is a few
// percent of its people, not a fifth.
uint32_t frequentFirst(uint32_t count, Random& random) {
    const double kOffset = 10;
    double total = 0;
    for (uint32_t r = 0; r < count; ++r) total += 1 / (r + kOffset);
    double pick = (random.next() >> 11) * (1.0 / 9007199254740992.0) * total;
    for (uint32_t r = 0; r < count; ++r) {
        pick -= 1 / (r + kOffset);
        if (pick < 0) return r;
    }
    return count - 1;
}

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

void shuffle(std::vector<PersonRecord>& records, Random& random) {
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

bool readNameLists(const std::string& directory, NameLists* lists, std::string* problem) {
    const char* files[3] = {"given.tsv", "surnames.tsv", "surname_parts.tsv"};
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
