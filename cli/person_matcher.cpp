#include "person_matcher.h"

#include <algorithm>
#include <cstdio>

namespace {

int levelScore(Level l) { return l == MISSING ? 1 : static_cast<int>(l); }

// The words of a name, each once, the parts written as one word too.
std::vector<uint32_t> heldWords(const WordName& w) {
    std::vector<uint32_t> held(w.given);
    held.insert(held.end(), w.surname.begin(), w.surname.end());
    for (uint32_t whole : {w.givenWhole, w.surnameWhole})
        if (whole != kNoWord) held.push_back(whole);
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());
    return held;
}

}  // namespace

bool PersonMatcher::open(const CommandContext& context, std::string* problem) {
    MatchSettings settings;  // Double Metaphone
    settings.limit = 8;
    return calls_.open(context, settings, problem);
}

uint32_t PersonMatcher::word(const std::string& text) {
    uint32_t id = words_.add(text);
    if (id == coded_.size()) {
        coded_.push_back(false);
        holders_.push_back(0);
        codeOf_.push_back(kNoWord);
        codes_[0].emplace_back();
        codes_[1].emplace_back();
    }
    return id;
}

bool PersonMatcher::add(const PersonList& people) {
    const size_t firstNew = names_.size();
    if (names_.empty()) withCount_ = people.values.empty() ? 0 : static_cast<int>(people.values[0].size());
    for (size_t r = 0; r < people.names.size(); ++r) {
        const PersonName& name = people.names[r];
        WordName w;
        const std::vector<std::string>* parts[2] = {&name.given, &name.surname};
        std::vector<uint32_t>* to[2] = {&w.given, &w.surname};
        uint32_t* whole[2] = {&w.givenWhole, &w.surnameWhole};
        std::string sortName;
        for (int p = 0; p < 2; ++p) {
            std::string joined;
            for (const std::string& text : *parts[p]) {
                joined += text;
                if (!isParticle(text) || parts[p]->size() == 1) to[p]->push_back(word(text));
            }
            if (parts[p]->size() > 1) *whole[p] = word(joined);
            sortName = p == 0 ? joined : joined + " " + sortName;
        }
        for (uint32_t id : heldWords(w)) ++holders_[id];
        names_.push_back(w);
        sortNames_.push_back(sortName);
        reversedNames_.emplace_back(sortName.rbegin(), sortName.rend());
        values_.push_back(people.values[r]);
    }
    // The codes of the new words, asked once each.
    std::string first, second;
    for (uint32_t id = 0; id < coded_.size(); ++id) {
        if (coded_[id]) continue;
        if (!calls_.codes(words_.data(id), words_.size(id), &first, &second)) return false;
        codes_[0][id] = first;
        codes_[1][id] = second.empty() ? first : second;
        coded_[id] = true;
        if (!first.empty()) {
            codeOf_[id] = codeIds_.add(first);
            if (codeOf_[id] == codeHolders_.size()) codeHolders_.push_back(0);
        }
    }
    // The records holding each code, each record once.
    std::vector<uint32_t> held;
    for (size_t r = firstNew; r < names_.size(); ++r) {
        held.clear();
        for (uint32_t id : heldWords(names_[r]))
            if (codeOf_[id] != kNoWord) held.push_back(codeOf_[id]);
        std::sort(held.begin(), held.end());
        held.erase(std::unique(held.begin(), held.end()), held.end());
        for (uint32_t code : held) ++codeHolders_[code];
    }
    return true;
}

double PersonMatcher::codeAgreement(int part) const {
    const double n = static_cast<double>(names_.size());
    double sum = 0, counted = 0;
    for (const WordName& name : names_) {
        uint32_t most = 0;
        for (uint32_t w : part == 0 ? name.given : name.surname)
            if (codeOf_[w] != kNoWord) most = std::max(most, codeHolders_[codeOf_[w]]);
        if (most == 0) continue;
        sum += (most - 1) / (n - 1);
        ++counted;
    }
    return counted ? sum / counted : 0;
}

void PersonMatcher::candidates(uint32_t split, bool sameFile, const CandidateBounds& bounds,
                               std::vector<uint64_t>* pairs) {
    // (key, record) for every key of every record, then runs of one key.
    StringPool keys;
    std::vector<std::pair<uint32_t, uint32_t>> entries;
    std::string key;
    for (uint32_t r = 0; r < names_.size(); ++r) {
        const WordName& n = names_[r];
        for (const std::vector<uint32_t>* part : {&n.given, &n.surname})
            for (uint32_t w : *part) {
                if (words_.size(w) < 2 || codes_[0][w].empty()) continue;
                entries.push_back({keys.add("n" + codes_[0][w]), r});
            }
        // A --with value with the first letter of each name word: a date
        // of birth alone is shared by a few dozen records in a million, all
        // of whom would meet in pairs; with a letter of the name a handful,
        // and a pair still meets when any of its words keeps its letter.
        std::string letters;
        for (const std::vector<uint32_t>* part : {&n.given, &n.surname})
            for (uint32_t w : *part)
                if (words_.size(w) > 0 && letters.find(words_.data(w)[0]) == std::string::npos)
                    letters += words_.data(w)[0];
        if (letters.empty()) letters = " ";
        for (size_t f = 0; f < values_[r].size(); ++f) {
            if (values_[r][f].empty()) continue;
            for (char letter : letters)
                entries.push_back({keys.add("v" + std::to_string(f) + letter + values_[r][f]), r});
        }
    }
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());

    // Each record's place in the order of the names and of the names read
    // backwards, sorted once rather than in every large key.
    std::vector<uint32_t> ranks[2];
    const std::vector<std::string>* orders[2] = {&sortNames_, &reversedNames_};
    std::vector<uint32_t> byName(names_.size());
    for (int o = 0; o < 2; ++o) {
        for (uint32_t r = 0; r < byName.size(); ++r) byName[r] = r;
        const std::vector<std::string>& order = *orders[o];
        std::sort(byName.begin(), byName.end(), [&](uint32_t a, uint32_t b) {
            return order[a] < order[b] || (order[a] == order[b] && a < b);
        });
        ranks[o].resize(byName.size());
        for (uint32_t place = 0; place < byName.size(); ++place) ranks[o][byName[place]] = place;
    }

    std::vector<uint64_t>& found = *pairs;
    found.clear();
    auto pairUp = [&](uint32_t a, uint32_t b) {
        if (a > b) std::swap(a, b);
        if (a == b) return;
        if (split && !(a < split && b >= split)) return;
        if (sameFile && b - split == a) return;
        found.push_back(static_cast<uint64_t>(a) << 32 | b);
    };
    std::vector<uint32_t> members;
    for (size_t from = 0, to; from < entries.size(); from = to) {
        members.clear();
        for (to = from; to < entries.size() && entries[to].first == entries[from].first; ++to)
            members.push_back(entries[to].second);
        if (members.size() <= bounds.blockLimit) {
            for (size_t i = 0; i < members.size(); ++i)
                for (size_t j = i + 1; j < members.size(); ++j) pairUp(members[i], members[j]);
            continue;
        }
        // Twice: in the order of the names and of the names read from
        // their ends, so that an error near the start of one name does not
        // keep its records apart.
        for (const std::vector<uint32_t>& rank : ranks) {
            std::sort(members.begin(), members.end(), [&](uint32_t a, uint32_t b) { return rank[a] < rank[b]; });
            for (size_t i = 0; i < members.size(); ++i)
                for (size_t j = i + 1; j < members.size() && j <= i + bounds.window; ++j)
                    pairUp(members[i], members[j]);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
}

bool PersonMatcher::wordLevel(uint32_t a, uint32_t b, Level* level) {
    if (a == b) return *level = EXACT, true;
    // An initial agrees a little with a word of its letter; nothing to ask.
    // (A word of one letter: its dot went with the clean-up.)
    if (words_.size(a) == 1 || words_.size(b) == 1) {
        *level = words_.data(a)[0] == words_.data(b)[0] ? SOME : DIFFERENT;
        return true;
    }
    uint8_t known;
    if (levels_.find(a, b, &known)) return *level = static_cast<Level>(known), true;
    WordAnswers answers;
    answers.lengthA = words_.size(a);
    answers.lengthB = words_.size(b);
    // Guth's walk is not symmetric: the earlier word first, so that the
    // answer does not depend on which record came first.
    uint32_t first = a < b ? a : b, second = a < b ? b : a;
    if (!calls_.levenshtein(words_.data(first), words_.size(first), words_.data(second), words_.size(second),
                            &answers.distance) ||
        !calls_.guth(words_.data(first), words_.size(first), words_.data(second), words_.size(second), 2,
                     &answers.guthPercent))
        return false;
    answers.codesAgree = !codes_[0][a].empty() &&
                         (codes_[0][a] == codes_[0][b] || codes_[0][a] == codes_[1][b] ||
                          codes_[1][a] == codes_[0][b] || codes_[1][a] == codes_[1][b]);
    answers.transposed = oneTransposition(words_.data(a), words_.size(a), words_.data(b), words_.size(b));
    *level = ::wordLevel(answers);
    levels_.add(a, b, static_cast<uint8_t>(*level));
    return true;
}

uint32_t PersonMatcher::codeHoldersOf(uint32_t a, uint32_t b) const {
    uint32_t h = 0;
    for (uint32_t w : {a, b})
        if (codeOf_[w] != kNoWord) h = std::max(h, codeHolders_[codeOf_[w]]);
    return h;
}

bool PersonMatcher::nameLevel(const std::vector<uint32_t>& a, uint32_t aWhole, const std::vector<uint32_t>& b,
                              uint32_t bWhole, Level* level, uint32_t* holders) {
    *holders = 0;
    if (a.empty() || b.empty()) return *level = MISSING, true;
    // Every word of the shorter name must be found in the other: its
    // level is the worst of their best matches, so that García López meets
    // García, but Navoleda Pérez does not meet Escolillo Pérez through
    // Pérez alone.
    const std::vector<uint32_t>& shorter = a.size() <= b.size() ? a : b;
    const std::vector<uint32_t>& longer = a.size() <= b.size() ? b : a;
    Level worst = EXACT, l;
    uint32_t rarest = UINT32_MAX, commonestCode = 0;
    for (uint32_t x : shorter) {
        Level best = DIFFERENT;
        uint32_t bestY = x;
        for (uint32_t y : longer) {
            if (!wordLevel(x, y, &l)) return false;
            if (l > best) best = l, bestY = y;
            if (best == EXACT) break;
        }
        if (best < worst) worst = best;
        if (best == EXACT && holders_[x] < rarest) rarest = holders_[x];
        if (best == CLOSE) commonestCode = std::max(commonestCode, codeHoldersOf(x, bestY));
    }
    // The parts written as one word (SMITHJONES and SMITH JONES).
    if (worst < EXACT && (aWhole != kNoWord || bWhole != kNoWord)) {
        uint32_t wholeA = aWhole != kNoWord ? aWhole : a[0], wholeB = bWhole != kNoWord ? bWhole : b[0];
        if (!wordLevel(wholeA, wholeB, &l)) return false;
        if (l > worst) {
            worst = l;
            rarest = holders_[wholeA];
            commonestCode = codeHoldersOf(wholeA, wholeB);
        }
    }
    *level = worst;
    // The holders of the rarest word agreed on, or of the commonest code
    // of a near miss: the records that would agree with this name about
    // as well as the pair's other record does.
    if (worst == EXACT) *holders = rarest;
    if (worst == CLOSE) *holders = commonestCode;
    return true;
}

bool PersonMatcher::compare(Candidate* pair) {
    const WordName& x = names_[pair->x];
    const WordName& y = names_[pair->y];
    Level given, surname;
    uint32_t givenHolders, surnameHolders;
    if (!nameLevel(x.given, x.givenWhole, y.given, y.givenWhole, &given, &givenHolders) ||
        !nameLevel(x.surname, x.surnameWhole, y.surname, y.surnameWhole, &surname, &surnameHolders))
        return false;
    pair->crosswise = false;
    // Given name and surname swapped in one record: compared crosswise,
    // kept when that agrees better. Names that agree closely as they
    // stand are not asked again.
    if (!(given >= CLOSE && given != MISSING && surname >= CLOSE && surname != MISSING)) {
        Level g2, s2;
        uint32_t g2Holders, s2Holders;
        if (!nameLevel(x.given, x.givenWhole, y.surname, y.surnameWhole, &g2, &g2Holders) ||
            !nameLevel(x.surname, x.surnameWhole, y.given, y.givenWhole, &s2, &s2Holders))
            return false;
        if (levelScore(g2) + levelScore(s2) > levelScore(given) + levelScore(surname)) {
            // Which of the two counts as the surname is a matter of which
            // record came first; the better one does, so that a pair
            // weighs the same either way round (of two exact ones, the
            // rarer).
            bool firstBetter = g2 > s2 || (g2 == s2 && g2Holders < s2Holders);
            given = firstBetter ? s2 : g2;
            surname = firstBetter ? g2 : s2;
            givenHolders = firstBetter ? s2Holders : g2Holders;
            surnameHolders = firstBetter ? g2Holders : s2Holders;
            pair->crosswise = true;
        }
    }
    pair->holders[0] = givenHolders;
    pair->holders[1] = surnameHolders;
    Pattern p = withLevel(withLevel(0, 0, given), 1, surname);
    for (int f = 0; f < withCount_; ++f) p = withLevel(p, 2 + f, valueLevel(values_[pair->x][f], values_[pair->y][f]));
    pair->pattern = p;
    return true;
}

bool PersonMatcher::randomPairLevels(uint32_t split, uint32_t count, std::vector<std::vector<uint64_t>>* levels) {
    levels->assign(comparisons(), std::vector<uint64_t>(kLevels, 0));
    const uint32_t n = static_cast<uint32_t>(names_.size());
    uint32_t low = split ? split : n, high = split ? n - split : n;
    if (low == 0 || high == 0 || n < 2) return true;
    // No more draws than there are pairs: a small list's few pairs drawn
    // over and over would pass for a large list's evidence.
    uint64_t possible = split ? static_cast<uint64_t>(low) * high : static_cast<uint64_t>(n) * (n - 1) / 2;
    if (count > possible) count = static_cast<uint32_t>(possible);
    uint64_t state = 0x5EED;
    auto next = [&state]() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    };
    for (uint32_t i = 0; i < count; ++i) {
        Candidate pair;
        pair.x = static_cast<uint32_t>(next() % low);
        pair.y = static_cast<uint32_t>(next() % high) + (split ? split : 0);
        if (pair.x == pair.y) continue;
        if (pair.x > pair.y) std::swap(pair.x, pair.y);
        if (!compare(&pair)) return false;
        for (int c = 0; c < comparisons(); ++c) {
            Level l = levelAt(pair.pattern, c);
            if (l != MISSING) ++(*levels)[c][l];
        }
    }
    return true;
}

std::vector<std::string> comparisonNames(const std::vector<std::string>& withFields) {
    std::vector<std::string> names = {"given", "surname"};
    names.insert(names.end(), withFields.begin(), withFields.end());
    return names;
}

std::string explainPair(const FsModel& model, const Candidate& pair, const std::vector<std::string>& names) {
    std::string text;
    char number[32];
    for (int c = 0; c < model.comparisons; ++c) {
        Level l = levelAt(pair.pattern, c);
        double w = c < kValueWeighted ? model.nameWeight(c, l, pair.holders[c]) : model.weight(c, l);
        std::snprintf(number, sizeof number, "%+.1f", w);
        if (!text.empty()) text += ", ";
        text += names[c] + " " + levelName(l) + " " + (l == MISSING ? std::string("0") : number);
        if (c == 1 && pair.crosswise) text += " (crosswise)";
    }
    std::snprintf(number, sizeof number, "%.1f", pairWeight(model, pair));
    return text + " = " + number;
}
