#include "person_matcher.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>

#include "../records/radix_sort.h"

namespace {

int levelScore(Level l) { return l == MISSING ? 1 : static_cast<int>(l); }

// Each number once, in order.
void sortUnique(std::vector<uint32_t>* numbers) {
    std::sort(numbers->begin(), numbers->end());
    numbers->erase(std::unique(numbers->begin(), numbers->end()), numbers->end());
}

// Record numbers in pairs and in runs of one key.
const uint64_t kRecordBits = 0xFFFFFFFFull;
// The tag of a key of the starts of a given name and a surname.
const uint64_t kStartsKey = 3ull << 62;

}  // namespace

bool PersonMatcher::open(const CommandContext& context, std::string* problem) {
    MatchSettings settings;  // Double Metaphone
    settings.limit = 8;
    return calls_.open(context, settings, problem);
}

uint32_t PersonMatcher::word(const std::string& text) {
    uint32_t id = words_.add(text);
    if (id == facts_.size()) facts_.emplace_back();
    return id;
}

uint64_t PersonMatcher::firstLetters(uint32_t word) const {
    const unsigned char* text = reinterpret_cast<const unsigned char*>(words_.data(word));
    return static_cast<uint64_t>(text[0]) << 8 | text[1];
}

NameWords PersonMatcher::nameOf(uint32_t record) const {
    const uint32_t* at = &recordWords_[recordStart_[record]];
    NameWords n;
    n.count[0] = at[0] & 0xFFFF;
    n.count[1] = at[0] >> 16;
    n.whole[0] = at[1];
    n.whole[1] = at[2];
    n.part[0] = at + 3;
    n.part[1] = at + 3 + n.count[0];
    return n;
}

bool PersonMatcher::add(const PersonList& people) {
    const size_t firstNew = records();
    if (firstNew == 0) withCount_ = people.values.empty() ? 0 : static_cast<int>(people.values[0].size());
    std::vector<uint32_t> held;
    size_t wordCount = 0;
    for (const PersonName& name : people.names) wordCount += name.given.size() + name.surname.size();
    recordStart_.reserve(recordStart_.size() + people.names.size());
    recordWords_.reserve(recordWords_.size() + 3 * people.names.size() + wordCount);
    values_.reserve(values_.size() + people.names.size() * withCount_);
    std::string joined;
    for (size_t r = 0; r < people.names.size(); ++r) {
        const PersonName& name = people.names[r];
        const std::vector<std::string>* parts[2] = {&name.given, &name.surname};
        recordStart_.push_back(static_cast<uint32_t>(recordWords_.size()));
        const size_t at = recordWords_.size();
        recordWords_.insert(recordWords_.end(), {0, kNoWord, kNoWord});
        held.clear();
        for (int p = 0; p < 2; ++p) {
            joined.clear();
            uint32_t count = 0;
            for (const std::string& text : *parts[p]) {
                if (parts[p]->size() > 1) joined += text;
                if (isParticle(text) && parts[p]->size() > 1) continue;
                recordWords_.push_back(word(text));
                held.push_back(recordWords_.back());
                ++count;
            }
            recordWords_[at] |= std::min<uint32_t>(count, 0xFFFF) << (16 * p);
            if (parts[p]->size() > 1) {
                recordWords_[at + 1 + p] = word(joined);
                held.push_back(recordWords_[at + 1 + p]);
            }
        }
        // Each word the name holds counts the record once.
        sortUnique(&held);
        for (uint32_t id : held) ++facts_[id].holders;
        for (const std::string& value : people.values[r])
            values_.push_back(value.empty() ? kNoWord : valueTexts_.add(value));
    }
    // The codes of the new words, asked once each.
    std::string first, second;
    for (; coded_ < facts_.size(); ++coded_) {
        const uint32_t id = static_cast<uint32_t>(coded_);
        if (!calls_.codes(words_.data(id), words_.size(id), &first, &second)) return false;
        WordFacts& f = facts_[id];
        f.length = static_cast<uint32_t>(words_.size(id));
        f.first = f.length ? words_.data(id)[0] : 0;
        f.letters = letterProfile(words_.data(id), words_.size(id));
        if (f.length <= WordFacts::kInline) std::memcpy(f.text, words_.data(id), f.length);
        if (first.empty()) continue;
        f.code[0] = codeTexts_.add(first);
        f.code[1] = second.empty() ? f.code[0] : codeTexts_.add(second);
        codeHolders_.resize(codeTexts_.count(), 0);
    }
    // The records holding each code, each record once.
    for (size_t r = firstNew; r < records(); ++r) {
        const NameWords n = nameOf(static_cast<uint32_t>(r));
        held.clear();
        for (int p = 0; p < 2; ++p) {
            for (uint32_t i = 0; i < n.count[p]; ++i) held.push_back(facts_[n.part[p][i]].code[0]);
            if (n.whole[p] != kNoWord) held.push_back(facts_[n.whole[p]].code[0]);
        }
        sortUnique(&held);
        for (uint32_t code : held)
            if (code != kNoWord) ++codeHolders_[code];
    }
    for (WordFacts& f : facts_) f.codeHolders = f.code[0] == kNoWord ? 0 : codeHolders_[f.code[0]];
    levels_.reserveFor(records());
    return true;
}

double PersonMatcher::tiedRivals(uint32_t record, uint32_t split, double others) {
    const NameWords n = nameOf(record);
    const int part = n.count[0] ? 0 : 1;
    if (!model_ || n.count[0] + n.count[1] != 1) return 0;
    if (splitFrom_ != split) {
        splitFrom_ = split;
        holdersFrom_.assign(facts_.size(), 0);
        std::vector<uint32_t> held;
        for (uint32_t r = split; r < records(); ++r) {
            const NameWords b = nameOf(r);
            held.assign(b.part[0], b.part[0] + b.count[0]);
            held.insert(held.end(), b.part[1], b.part[1] + b.count[1]);
            sortUnique(&held);
            for (uint32_t w : held) ++holdersFrom_[w];
        }
    }
    const uint32_t w = n.part[part][0];
    // Met as a given name or as a surname (crosswise): the lighter weight.
    const uint32_t holders = facts_[w].holders;
    const double weight = std::min(model_->exactWeight(0, holders), model_->exactWeight(1, holders));
    return holdersFrom_[w] * std::exp2(weight) / others;
}

double PersonMatcher::codeAgreement(int part) const {
    const double n = static_cast<double>(records());
    double sum = 0, counted = 0;
    for (uint32_t r = 0; r < records(); ++r) {
        const NameWords name = nameOf(r);
        uint32_t most = 0;
        for (uint32_t i = 0; i < name.count[part]; ++i) most = std::max(most, facts_[name.part[part][i]].codeHolders);
        if (most == 0) continue;
        sum += (most - 1) / (n - 1);
        ++counted;
    }
    return counted ? sum / counted : 0;
}

void PersonMatcher::nameOrders(LargeVector<uint32_t> ranks[2]) const {
    // Each word's place among the words in alphabetical order and in the
    // order of the words read backwards; a name's place is that of its
    // surname, then of its given name (each part as one word).
    const uint32_t wordCount = words_.count();
    std::vector<uint32_t> byText(wordCount), wordRank[2];
    std::vector<std::string> reversed(wordCount);
    for (uint32_t w = 0; w < wordCount; ++w) reversed[w].assign(words_.data(w), words_.size(w));
    for (std::string& text : reversed) std::reverse(text.begin(), text.end());
    for (int o = 0; o < 2; ++o) {
        for (uint32_t w = 0; w < wordCount; ++w) byText[w] = w;
        std::sort(byText.begin(), byText.end(), [&](uint32_t a, uint32_t b) {
            if (o == 1) return reversed[a] < reversed[b];
            const size_t n = std::min(words_.size(a), words_.size(b));
            int c = std::memcmp(words_.data(a), words_.data(b), n);
            return c < 0 || (c == 0 && words_.size(a) < words_.size(b));
        });
        wordRank[o].resize(wordCount);
        for (uint32_t place = 0; place < wordCount; ++place) wordRank[o][byText[place]] = place + 1;
    }
    for (int o = 0; o < 2; ++o) {
        LargeVector<std::pair<uint64_t, uint32_t>> order(records());
        for (uint32_t r = 0; r < records(); ++r) {
            const NameWords n = nameOf(r);
            uint64_t part[2];
            for (int p = 0; p < 2; ++p) {
                uint32_t w = n.whole[p] != kNoWord ? n.whole[p] : n.count[p] ? n.part[p][0] : kNoWord;
                part[p] = w == kNoWord ? 0 : wordRank[o][w];
            }
            // Forwards the surname leads; backwards the given name's end does.
            order[r] = {o == 0 ? part[1] << 32 | part[0] : part[0] << 32 | part[1], r};
        }
        sortByKey(&order);
        ranks[o].resize(records());
        for (uint32_t place = 0; place < records(); ++place) ranks[o][order[place].second] = place;
    }
}

void PersonMatcher::candidates(uint32_t split, bool sameFile, const CandidateBounds& bounds,
                               CandidatePairs* pairs) const {
    // (key, record) for every key of every record as one number, the key
    // in the high half, then runs of one key. A code's key is its number;
    // a --with value's has the top bit, the field, the value's number and
    // a letter; the names' starts have the top two bits.
    // Reserved at the most there can be: growing by doubling would copy
    // and touch twice the memory.
    LargeVector<std::pair<uint64_t, uint32_t>> entries;
    // A key read as a sorted neighbourhood rather than in all its pairs.
    auto windowed = [&bounds](uint64_t key, uint64_t holders) {
        return holders > bounds.blockLimit || (key & kStartsKey) == kStartsKey;
    };
    {
        size_t most = 0;
        for (uint32_t r = 0; r < records(); ++r) {
            const NameWords n = nameOf(r);
            const size_t words = n.count[0] + n.count[1];
            most += words + std::min<size_t>(n.count[0], 2) * std::min<size_t>(n.count[1], 2) + 1 +
                    static_cast<size_t>(withCount_) * std::max<size_t>(words, 1);
        }
        entries.reserve(most);
    }
    std::string letters;
    for (uint32_t r = 0; r < records(); ++r) {
        const NameWords n = nameOf(r);
        letters.clear();
        for (int p = 0; p < 2; ++p)
            for (uint32_t i = 0; i < n.count[p]; ++i) {
                const WordFacts& f = facts_[n.part[p][i]];
                if (f.length >= 2 && f.code[0] != kNoWord) entries.push_back({f.code[0], r});
                if (f.length > 0 && letters.find(f.first) == std::string::npos) letters += f.first;
            }
        // The codes of a given name and of a surname together, in either
        // order (a swapped name meets too): the pairs that agree on both
        // sounds, in keys far smaller than either code's.
        for (uint32_t i = 0; i < std::min<uint32_t>(n.count[0], 2); ++i)
            for (uint32_t j = 0; j < std::min<uint32_t>(n.count[1], 2); ++j) {
                const WordFacts& g = facts_[n.part[0][i]];
                const WordFacts& s = facts_[n.part[1][j]];
                if (g.length < 2 || s.length < 2 || g.code[0] == kNoWord || s.code[0] == kNoWord) continue;
                const uint64_t low = std::min(g.code[0], s.code[0]), high = std::max(g.code[0], s.code[0]);
                entries.push_back({1ull << 62 | low << 31 | high, r});
            }
        // The first two letters of the first given name and of the first
        // surname, in either order: the pairs whose names are both spoiled
        // past their codes but keep their starts (Lespie Crokwood, Leslie
        // Cromwood). Always read as a sorted neighbourhood (below), so that
        // it costs a few pairs a record however small its keys are.
        if (n.count[0] && n.count[1]) {
            const uint32_t g = n.part[0][0], s = n.part[1][0];
            if (facts_[g].length >= 2 && facts_[s].length >= 2) {
                const uint64_t a = firstLetters(g), b = firstLetters(s);
                entries.push_back({kStartsKey | std::min(a, b) << 16 | std::max(a, b), r});
            }
        }
        // A --with value with the first letter of each name word: a date
        // of birth alone is shared by a few dozen records in a million, all
        // of whom would meet in pairs; with a letter of the name a handful,
        // and a pair still meets when any of its words keeps its letter.
        if (letters.empty()) letters = " ";
        const uint32_t* values = valuesOf(r);
        for (int f = 0; f < withCount_; ++f) {
            if (values[f] == kNoWord) continue;
            for (char letter : letters)
                entries.push_back({1ull << 63 | static_cast<uint64_t>(f) << 56 | static_cast<uint64_t>(values[f]) << 8 |
                                       static_cast<unsigned char>(letter),
                                   r});
        }
    }
    // Stable by key: each key's records stay in their order, once each
    // after the unique below.
    sortByKey(&entries);
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());

    LargeVector<uint32_t> ranks[2];
    nameOrders(ranks);

    // The pairs as x << 32 | y, then by x: counted, placed, sorted and
    // made unique within each x.
    LargeVector<uint64_t> found;
    {
        uint64_t most = 0;
        for (size_t from = 0, to; from < entries.size(); from = to) {
            for (to = from; to < entries.size() && entries[to].first == entries[from].first; ++to) {
            }
            const uint64_t k = to - from;
            most += windowed(entries[from].first, k) ? 2 * k * bounds.window : k * (k - 1) / 2;
        }
        found.reserve(most);
    }
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
        if (!windowed(entries[from].first, members.size())) {
            for (size_t i = 0; i < members.size(); ++i)
                for (size_t j = i + 1; j < members.size(); ++j) pairUp(members[i], members[j]);
            continue;
        }
        // Twice: in the order of the names and of the names read from
        // their ends, so that an error near the start of one name does not
        // keep its records apart.
        for (const LargeVector<uint32_t>& rank : ranks) {
            std::sort(members.begin(), members.end(), [&](uint32_t a, uint32_t b) { return rank[a] < rank[b]; });
            for (size_t i = 0; i < members.size(); ++i)
                for (size_t j = i + 1; j < members.size() && j <= i + bounds.window; ++j)
                    pairUp(members[i], members[j]);
        }
    }
    LargeVector<std::pair<uint64_t, uint32_t>>().swap(entries);
    LargeVector<uint64_t>& start = pairs->start;
    start.assign(records() + 1, 0);
    for (uint64_t pair : found) ++start[(pair >> 32) + 1];
    for (size_t r = 0; r < records(); ++r) start[r + 1] += start[r];
    LargeVector<uint32_t>& partners = pairs->partners;
    partners.resize(found.size());
    {
        LargeVector<uint64_t> next(start.begin(), start.end() - 1);
        for (uint64_t pair : found) partners[next[pair >> 32]++] = static_cast<uint32_t>(pair & kRecordBits);
    }
    LargeVector<uint64_t>().swap(found);
    // Within each record's run: sorted, each partner once, moved down over
    // the duplicates dropped before it.
    uint64_t kept = 0;
    for (size_t r = 0; r < records(); ++r) {
        auto first = partners.begin() + static_cast<std::ptrdiff_t>(start[r]);
        auto last = partners.begin() + static_cast<std::ptrdiff_t>(start[r + 1]);
        std::sort(first, last);
        last = std::unique(first, last);
        start[r] = kept;
        kept = static_cast<uint64_t>(std::copy(first, last, partners.begin() + static_cast<std::ptrdiff_t>(kept)) -
                                     partners.begin());
    }
    start[records()] = kept;
    partners.resize(kept);
}

Level PersonMatcher::wordLevelAtMost(uint32_t a, uint32_t b, bool* codesAgree) const {
    if (a == b) return EXACT;
    const WordFacts& fa = facts_[a];
    const WordFacts& fb = facts_[b];
    // An initial agrees a little with a word of its letter; nothing to ask.
    // (A word of one letter: its dot went with the clean-up.)
    if (fa.length == 1 || fb.length == 1) return fa.first == fb.first ? SOME : DIFFERENT;
    *codesAgree = shareACode(fa.code, fb.code, kNoWord);
    // Guth's walk is not symmetric: the earlier word first, as asked.
    return a < b ? ::wordLevelAtMost(fa.letters, fb.letters, *codesAgree)
                 : ::wordLevelAtMost(fb.letters, fa.letters, *codesAgree);
}

bool PersonMatcher::wordLevel(uint32_t a, uint32_t b, Level* level) {
    // Most word pairs of a large list's candidates share too few letters
    // to agree at all, which their letters tell without a call; a word and
    // itself or an initial need no call either.
    WordAnswers answers;
    const Level most = wordLevelAtMost(a, b, &answers.codesAgree);
    const WordFacts& fa = facts_[a];
    const WordFacts& fb = facts_[b];
    if (most == DIFFERENT || most == EXACT || fa.length == 1 || fb.length == 1) return *level = most, true;
    // Guth's walk is not symmetric: the earlier word first, so that the
    // answer does not depend on which record came first.
    uint32_t first = a < b ? a : b, second = a < b ? b : a;
    uint8_t known;
    if (levels_.find(a, b, &known)) return *level = static_cast<Level>(known), true;
    answers.lengthA = fa.length;
    answers.lengthB = fb.length;
    const char* aText = wordText(a);
    const char* bText = wordText(b);
    answers.transposed = oneTransposition(aText, fa.length, bText, fb.length);
    const char* firstText = a < b ? aText : bText;
    const char* secondText = a < b ? bText : aText;
    // The percentage can only raise a level: asked only when the distance
    // leaves the pair below close and the most it can be would raise it.
    if (!calls_.levenshtein(firstText, facts_[first].length, secondText, facts_[second].length,
                            &answers.distance))
        return false;
    *level = ::wordLevel(answers);
    answers.guthPercent = guthPercentAtMost(facts_[first].letters, facts_[second].letters);
    if (*level != CLOSE && ::wordLevel(answers) > *level) {
        if (!calls_.guth(firstText, facts_[first].length, secondText, facts_[second].length, 2,
                         &answers.guthPercent))
            return false;
        *level = ::wordLevel(answers);
    }
    levels_.add(a, b, static_cast<uint8_t>(*level));
    return true;
}

uint32_t PersonMatcher::codeHoldersOf(uint32_t a, uint32_t b) const {
    return std::max(facts_[a].codeHolders, facts_[b].codeHolders);
}

bool PersonMatcher::nameLevel(const NameWords& an, int aPart, const NameWords& bn, int bPart, Level* level,
                              uint32_t* holders) {
    *holders = 0;
    const uint32_t* a = an.part[aPart];
    const uint32_t* b = bn.part[bPart];
    const uint32_t aCount = an.count[aPart], bCount = bn.count[bPart];
    if (aCount == 0 || bCount == 0) return *level = MISSING, true;
    // Every word of the shorter name must be found in the other: its
    // level is the worst of their best matches, so that García López meets
    // García, but Navoleda Pérez does not meet Escolillo Pérez through
    // Pérez alone.
    const bool aShorter = aCount <= bCount;
    const uint32_t* shorter = aShorter ? a : b;
    const uint32_t* longer = aShorter ? b : a;
    const uint32_t shorterCount = aShorter ? aCount : bCount, longerCount = aShorter ? bCount : aCount;
    Level worst = EXACT, l;
    uint32_t rarest = UINT32_MAX, commonestCode = 0;
    for (uint32_t i = 0; i < shorterCount; ++i) {
        const uint32_t x = shorter[i];
        Level best = DIFFERENT;
        uint32_t bestY = x;
        for (uint32_t j = 0; j < longerCount; ++j) {
            if (!wordLevel(x, longer[j], &l)) return false;
            if (l > best) best = l, bestY = longer[j];
            if (best == EXACT) break;
        }
        if (best < worst) worst = best;
        if (best == EXACT && facts_[x].holders < rarest) rarest = facts_[x].holders;
        if (best == CLOSE) commonestCode = std::max(commonestCode, codeHoldersOf(x, bestY));
    }
    // The parts written as one word (SMITHJONES and SMITH JONES).
    const uint32_t aWhole = an.whole[aPart], bWhole = bn.whole[bPart];
    if (worst < EXACT && (aWhole != kNoWord || bWhole != kNoWord)) {
        uint32_t wholeA = aWhole != kNoWord ? aWhole : a[0], wholeB = bWhole != kNoWord ? bWhole : b[0];
        if (!wordLevel(wholeA, wholeB, &l)) return false;
        if (l > worst) {
            worst = l;
            rarest = facts_[wholeA].holders;
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

bool PersonMatcher::compare(Candidate* pair, double atLeast, bool* reached) {
    Pattern p = 0;
    for (int f = 0; f < withCount_; ++f) p = withLevel(p, 2 + f, valuesLevel(pair->x, pair->y, f));
    // With a weight to reach: given up as soon as the most the pair can
    // still weigh falls short, so that most candidates of a large list
    // cost a few look-ups and no calls. The pair weighs either as its
    // names stand or crosswise (either comparison as the surname). Records
    // of one word a part (most) are bounded from their own lines alone.
    const bool bounded = reached && model_;
    if (reached) *reached = true;
    double values = 0;
    NameBounds most{};
    NameWords x, y;
    bool named = false;
    if (bounded) {
        for (int f = 0; f < withCount_; ++f) {
            Level l = levelAt(p, 2 + f);
            if (l != MISSING) values += valueWeights_[f * kLevels + l];
        }
        const RecordBound& a = recordBounds_[pair->x];
        const RecordBound& b = recordBounds_[pair->y];
        const bool simple = a.simple() && b.simple();
        if (!simple) x = nameOf(pair->x), y = nameOf(pair->y), named = true;
        // The highest level of each part pair, from the words' letters
        // and codes, and the most it weighs (for a near miss or better,
        // from the words' weights).
        Level levels[2][2];
        PartWeights weights[2][2];
        for (int p = 0; p < 2; ++p)
            for (int q = 0; q < 2; ++q) {
                levels[p][q] = simple ? lineLevelAtMost(a, p, b, q, true) : partLevelAtMost(x, p, y, q);
                if (!simple && levels[p][q] >= CLOSE && levels[p][q] != MISSING)
                    partWeights(x, p, y, q, &weights[p][q]);
            }
        most = nameBounds([&](int c, int aPart, int bPart) {
            return simple ? linePartBound(c, a, aPart, b, bPart, levels[aPart][bPart])
                          : partBound(c, weights[aPart][bPart], levels[aPart][bPart]);
        });
        if (values + most.most() < atLeast) return *reached = false, true;
    }
    if (!named) x = nameOf(pair->x), y = nameOf(pair->y);
    Level given, surname, g2 = MISSING, s2 = MISSING;
    uint32_t givenHolders, surnameHolders, g2Holders = 0, s2Holders = 0;
    bool crosswiseAsked = false;
    if (!nameLevel(x, 0, y, 0, &given, &givenHolders)) return false;
    if (bounded) {
        const bool straightShort = values + model_->nameWeight(0, given, givenHolders) + most.surname < atLeast;
        if (straightShort && values + most.crosswise() < atLeast) return *reached = false, true;
        if (straightShort) {
            // Only crosswise can the pair still reach the weight: asked
            // first, each comparison narrowing the bound.
            if (!nameLevel(x, 0, y, 1, &g2, &g2Holders)) return false;
            for (int c = 0; c < 2; ++c) most.givenSurname[c] = model_->nameWeight(c, g2, g2Holders);
            if (values + most.crosswise() < atLeast) return *reached = false, true;
            if (!nameLevel(x, 1, y, 0, &s2, &s2Holders)) return false;
            for (int c = 0; c < 2; ++c) most.surnameGiven[c] = model_->nameWeight(c, s2, s2Holders);
            if (values + most.crosswise() < atLeast) return *reached = false, true;
            crosswiseAsked = true;
        }
    }
    if (!nameLevel(x, 1, y, 1, &surname, &surnameHolders)) return false;
    pair->crosswise = false;
    // Given name and surname swapped in one record: compared crosswise,
    // kept when that agrees better. Names that agree closely as they
    // stand are not asked again.
    if (!(given >= CLOSE && given != MISSING && surname >= CLOSE && surname != MISSING)) {
        if (bounded && !crosswiseAsked) {
            double straight = model_->nameWeight(0, given, givenHolders) + model_->nameWeight(1, surname, surnameHolders);
            if (values + std::max(straight, most.crosswise()) < atLeast) return *reached = false, true;
        }
        if (!crosswiseAsked &&
            (!nameLevel(x, 0, y, 1, &g2, &g2Holders) || !nameLevel(x, 1, y, 0, &s2, &s2Holders)))
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
    pair->pattern = withLevel(withLevel(p, 0, given), 1, surname);
    return true;
}

void PersonMatcher::setModel(const FsModel& model) {
    model_ = &model;
    wordWeights_.resize(facts_.size());
    for (size_t w = 0; w < facts_.size(); ++w)
        for (int c = 0; c < kValueWeighted; ++c) {
            wordWeights_[w].exact[c] = model.exactWeight(c, facts_[w].holders);
            wordWeights_[w].close[c] =
                std::max(model.weight(c, CLOSE), model.closeWeight(c, std::max<uint32_t>(facts_[w].codeHolders, 1)));
        }
    recordBounds_.resize(records());
    // Equal codes fold to equal numbers, so that folded codes agree
    // whenever the codes do (and seldom otherwise).
    auto fold = [](uint32_t code) {
        return static_cast<uint16_t>(code == kNoWord ? 0 : code % 0xFFFF + 1);
    };
    for (uint32_t r = 0; r < records(); ++r) {
        const NameWords n = nameOf(r);
        RecordBound& b = recordBounds_[r];
        for (int p = 0; p < 2; ++p) {
            const bool single = n.count[p] <= 1 && n.whole[p] == kNoWord;
            const uint32_t w = n.count[p] ? n.part[p][0] : kNoWord;
            b.word[p] = w;
            b.codes[p][0] = single && w != kNoWord ? fold(facts_[w].code[0]) : 0;
            b.codes[p][1] = single && w != kNoWord ? fold(facts_[w].code[1]) : 0;
            b.letters[p] = !single ? 0 : w != kNoWord ? facts_[w].letters | RecordBound::kSingle : RecordBound::kSingle;
            // Over the part's words, the whole one too: the most any of
            // them weighs, and which ones it holds.
            double exact[2] = {-HUGE_VAL, -HUGE_VAL}, close[2] = {-HUGE_VAL, -HUGE_VAL};
            for (uint32_t i = 0; i <= n.count[p]; ++i) {
                const uint32_t v = i < n.count[p] ? n.part[p][i] : n.whole[p];
                if (v == kNoWord) continue;
                if (!single) b.letters[p] |= wordBit(v);
                for (int c = 0; c < kValueWeighted; ++c) {
                    exact[c] = std::max(exact[c], wordWeights_[v].exact[c]);
                    close[c] = std::max(close[c], wordWeights_[v].close[c]);
                }
            }
            for (int c = 0; c < kValueWeighted; ++c) {
                b.exact[p][c] = RecordBound::up(w == kNoWord ? 0 : exact[c]);
                b.close[p][c] = RecordBound::up(w == kNoWord ? 0 : close[c]);
            }
        }
        for (int f = 0; f < RecordBound::kValues; ++f) b.values[f] = f < withCount_ ? valuesOf(r)[f] : kNoWord;
    }
    for (int c = 0; c < kValueWeighted; ++c) {
        atMost_[c][DIFFERENT] = model.weight(c, DIFFERENT);
        atMost_[c][SOME] = std::max(atMost_[c][DIFFERENT], model.weight(c, SOME));
    }
    valueWeights_.clear();
    for (int f = 0; f < withCount_; ++f)
        for (int l = 0; l < kLevels; ++l) valueWeights_.push_back(model.weight(2 + f, static_cast<Level>(l)));
}

Level PersonMatcher::lineLevelAtMost(const RecordBound& a, int aPart, const RecordBound& b, int bPart, bool letters) {
    const uint32_t wa = a.word[aPart], wb = b.word[bPart];
    if (wa == kNoWord || wb == kNoWord) return MISSING;
    if (!a.single(aPart) || !b.single(bPart)) return a.words(aPart) & b.words(bPart) ? EXACT : CLOSE;
    if (wa == wb) return EXACT;
    if (!letters) return CLOSE;
    const uint64_t pa = a.profile(aPart), pb = b.profile(bPart);
    // An initial agrees at most a little (see wordLevel); otherwise the
    // earlier word is Guth's first, as asked.
    if ((pa >> 52) == 1 || (pb >> 52) == 1) return SOME;
    const bool codesMayAgree = shareACode(a.codes[aPart], b.codes[bPart], uint16_t{0});
    return wa < wb ? ::wordLevelAtMost(pa, pb, codesMayAgree) : ::wordLevelAtMost(pb, pa, codesMayAgree);
}

double PersonMatcher::linePartBound(int c, const RecordBound& a, int aPart, const RecordBound& b, int bPart,
                                    Level most) const {
    if (most == MISSING) return 0;
    if (most < CLOSE) return atMost_[c][most];
    const double close =
        std::max(RecordBound::weight(std::min(a.close[aPart][c], b.close[bPart][c])), atMost_[c][SOME]);
    return most == EXACT ? std::max(close, RecordBound::weight(std::min(a.exact[aPart][c], b.exact[bPart][c])))
                         : close;
}

bool PersonMatcher::mayReach(uint32_t x, uint32_t y, double atLeast) const {
    const RecordBound& a = recordBounds_[x];
    const RecordBound& b = recordBounds_[y];
    double values = 0;
    for (int f = 0; f < withCount_; ++f) {
        const bool inLine = f < RecordBound::kValues;
        const Level l = valueLevelOf(inLine ? a.values[f] : valuesOf(x)[f], inLine ? b.values[f] : valuesOf(y)[f]);
        if (l != MISSING) values += valueWeights_[f * kLevels + l];
    }
    // First from the words alone, then from their letters too.
    Level levels[2][2];
    for (int letters = 0; letters < 2; ++letters) {
        for (int p = 0; p < 2; ++p)
            for (int q = 0; q < 2; ++q) levels[p][q] = lineLevelAtMost(a, p, b, q, letters);
        const NameBounds most = nameBounds([&](int c, int aPart, int bPart) {
            return linePartBound(c, a, aPart, b, bPart, levels[aPart][bPart]);
        });
        if (values + most.most() < atLeast) return false;
    }
    return true;
}

Level PersonMatcher::partLevelAtMost(const NameWords& an, int aPart, const NameWords& bn, int bPart) const {
    // As nameLevel finds the level, each word pair's level bounded.
    const uint32_t aCount = an.count[aPart], bCount = bn.count[bPart];
    if (aCount == 0 || bCount == 0) return MISSING;
    const bool aShorter = aCount <= bCount;
    const uint32_t* shorter = aShorter ? an.part[aPart] : bn.part[bPart];
    const uint32_t* longer = aShorter ? bn.part[bPart] : an.part[aPart];
    const uint32_t shorterCount = aShorter ? aCount : bCount, longerCount = aShorter ? bCount : aCount;
    Level worst = EXACT;
    bool agree;
    for (uint32_t i = 0; i < shorterCount && worst > DIFFERENT; ++i) {
        Level best = DIFFERENT;
        for (uint32_t j = 0; j < longerCount && best < EXACT; ++j)
            best = std::max(best, wordLevelAtMost(shorter[i], longer[j], &agree));
        worst = std::min(worst, best);
    }
    const uint32_t aWhole = an.whole[aPart], bWhole = bn.whole[bPart];
    if (worst < EXACT && (aWhole != kNoWord || bWhole != kNoWord))
        worst = std::max(worst, wordLevelAtMost(aWhole != kNoWord ? aWhole : an.part[aPart][0],
                                                bWhole != kNoWord ? bWhole : bn.part[bPart][0], &agree));
    return worst;
}

void PersonMatcher::partWeights(const NameWords& a, int aPart, const NameWords& b, int bPart, PartWeights* out) const {
    // A near miss weighs by the more common code of its two words, at
    // least as common as the rarest code of either side; an exact
    // agreement by the rarest word agreed on, a word both sides hold.
    // Both weights fall as the holders grow.
    const uint32_t aCount = a.count[aPart], bCount = b.count[bPart];
    double closeA[2] = {-HUGE_VAL, -HUGE_VAL}, closeB[2] = {-HUGE_VAL, -HUGE_VAL};
    out->exact[0] = out->exact[1] = -HUGE_VAL;
    for (uint32_t i = 0; i <= aCount; ++i) {
        const uint32_t w = i < aCount ? a.part[aPart][i] : a.whole[aPart];
        if (w == kNoWord) continue;
        const WordWeights& weights = wordWeights_[w];
        bool shared = false;
        for (uint32_t j = 0; j <= bCount && !shared; ++j)
            shared = w == (j < bCount ? b.part[bPart][j] : b.whole[bPart]);
        for (int c = 0; c < kValueWeighted; ++c) {
            closeA[c] = std::max(closeA[c], weights.close[c]);
            if (shared) out->exact[c] = std::max(out->exact[c], weights.exact[c]);
        }
    }
    for (uint32_t j = 0; j <= bCount; ++j) {
        const uint32_t w = j < bCount ? b.part[bPart][j] : b.whole[bPart];
        if (w == kNoWord) continue;
        for (int c = 0; c < kValueWeighted; ++c) closeB[c] = std::max(closeB[c], wordWeights_[w].close[c]);
    }
    for (int c = 0; c < kValueWeighted; ++c) out->close[c] = std::min(closeA[c], closeB[c]);
}

double PersonMatcher::partBound(int c, const PartWeights& weights, Level most) const {
    if (most == MISSING) return 0;
    if (most < CLOSE) return atMost_[c][most];
    return std::max({weights.exact[c], weights.close[c], atMost_[c][SOME]});
}

bool PersonMatcher::randomPairLevels(uint32_t split, uint32_t count, std::vector<std::vector<uint64_t>>* levels) {
    levels->assign(comparisons(), std::vector<uint64_t>(kLevels, 0));
    const uint32_t n = static_cast<uint32_t>(records());
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
