#include "person_matcher.h"

#include <algorithm>
#include <cstring>

#include "../records/bucket_index.h"
#include "../records/radix_sort.h"

namespace {

// Keys as numbers: a word's first code is its code's number; the other
// kinds are told apart by their top two bits.
const uint64_t kCodePairKey = 1ull << 62;  // the codes of a given name and a surname
const uint64_t kValueKey = 1ull << 63;     // a --with value with a letter of the name
const uint64_t kStartsKey = kCodePairKey | kValueKey;  // the starts of a given name and a surname
// Where a --with value's field and number stand in its key.
const int kValueFieldShift = 56, kValueNumberShift = 8;
// The given names and surnames whose codes pair up as keys: the first two
// of each part.
const uint32_t kCodePairWords = 2;
// Where the nickname table's names are numbered in code pair keys: above
// the codes' numbers.
const uint64_t kNicknameCodes = 1ull << 30;
// Record numbers in pairs and in runs of one key.
const uint64_t kRecordBits = 0xFFFFFFFFull;

}  // namespace

uint64_t PersonMatcher::firstLetters(uint32_t word) const {
    const unsigned char* text = reinterpret_cast<const unsigned char*>(words_.data(word));
    return static_cast<uint64_t>(text[0]) << 8 | text[1];
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
    // Forwards, the words' alphabetical places are known (rankWords).
    wordRank[0].resize(wordCount);
    for (uint32_t w = 0; w < wordCount; ++w) wordRank[0][w] = textRank_[w] + 1;
    for (uint32_t w = 0; w < wordCount; ++w) byText[w] = w;
    std::sort(byText.begin(), byText.end(), [&](uint32_t a, uint32_t b) { return reversed[a] < reversed[b]; });
    wordRank[1].resize(wordCount);
    for (uint32_t place = 0; place < wordCount; ++place) wordRank[1][byText[place]] = place + 1;
    for (int o = 0; o < 2; ++o) {
        LargeVector<std::pair<uint64_t, uint32_t>> order(records());
        for (uint32_t r = 0; r < records(); ++r) {
            const NameWords n = nameOf(r);
            uint64_t part[2];
            for (int p = 0; p < kParts; ++p) {
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

void PersonMatcher::addKeys(uint32_t r, std::string& letters, KeyEntries* entries) const {
    const NameWords n = nameOf(r);
    letters.clear();
    for (int p = 0; p < kParts; ++p)
        for (uint32_t i = 0; i < n.count[p]; ++i) {
            const WordFacts& f = facts_[n.part[p][i]];
            if (f.length >= 2 && f.code[0] != kNoWord) entries->push_back({f.code[0], r});
            if (f.length > 0 && letters.find(f.first) == std::string::npos) letters += f.first;
        }
    // The codes of a given name and of a surname together, in either
    // order (a swapped name meets too): the pairs that agree on both
    // sounds, in keys far smaller than either code's.
    for (uint32_t i = 0; i < std::min(n.count[0], kCodePairWords); ++i)
        for (uint32_t j = 0; j < std::min(n.count[1], kCodePairWords); ++j) {
            const WordFacts& g = facts_[n.part[0][i]];
            const WordFacts& s = facts_[n.part[1][j]];
            if (g.length < 2 || s.length < 2 || g.code[0] == kNoWord || s.code[0] == kNoWord) continue;
            const uint64_t low = std::min(g.code[0], s.code[0]), high = std::max(g.code[0], s.code[0]);
            entries->push_back({kCodePairKey | low << 31 | high, r});
        }
    // A given name's names in the nickname table with a surname's code:
    // Bob Smith meets Robert Smith, whose codes share nothing. The names
    // stand where codes would, above any code's number.
    if (nicknames_)
        for (uint32_t i = 0; i < std::min(n.count[0], kCodePairWords); ++i) {
            const uint32_t g = n.part[0][i];
            for (uint32_t k = nickStart_[g]; k < nickStart_[g + 1]; ++k)
                for (uint32_t j = 0; j < std::min(n.count[1], kCodePairWords); ++j) {
                    const WordFacts& s = facts_[n.part[1][j]];
                    if (s.length < 2 || s.code[0] == kNoWord) continue;
                    const uint64_t name = kNicknameCodes + nickGroups_[k];
                    entries->push_back({kCodePairKey | std::min<uint64_t>(name, s.code[0]) << 31 |
                                            std::max<uint64_t>(name, s.code[0]),
                                        r});
                }
        }
    // The first two letters of the first given name and of the first
    // surname, in either order: the pairs whose names are both spoiled
    // past their codes but keep their starts (Lespie Crokwood, Leslie
    // Cromwood). Always read as a sorted neighbourhood (pairsOfKeys), so
    // that it costs a few pairs a record however small its keys are.
    if (n.count[0] && n.count[1]) {
        const uint32_t g = n.part[0][0], s = n.part[1][0];
        if (facts_[g].length >= 2 && facts_[s].length >= 2) {
            const uint64_t a = firstLetters(g), b = firstLetters(s);
            entries->push_back({kStartsKey | std::min(a, b) << 16 | std::max(a, b), r});
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
            entries->push_back({kValueKey | static_cast<uint64_t>(f) << kValueFieldShift |
                                    static_cast<uint64_t>(values[f]) << kValueNumberShift |
                                    static_cast<unsigned char>(letter),
                                r});
    }
}

void PersonMatcher::keyEntries(KeyEntries* entries) const {
    // Reserved at the most there can be: growing by doubling would copy
    // and touch twice the memory.
    size_t most = 0;
    for (uint32_t r = 0; r < records(); ++r) {
        const NameWords n = nameOf(r);
        const size_t words = n.count[0] + n.count[1];
        uint32_t names = 0;
        for (uint32_t i = 0; nicknames_ && i < std::min(n.count[0], kCodePairWords); ++i)
            names += nickStart_[n.part[0][i] + 1] - nickStart_[n.part[0][i]];
        most += words + (std::min(n.count[0], kCodePairWords) + names) * std::min(n.count[1], kCodePairWords) + 1 +
                static_cast<size_t>(withCount_) * std::max<size_t>(words, 1);
    }
    entries->reserve(most);
    std::string letters;
    for (uint32_t r = 0; r < records(); ++r)
        if (copyOf(r) == r) addKeys(r, letters, entries);
    // Stable by key: each key's records stay in their order, once each
    // after the unique below.
    sortByKey(entries);
    entries->erase(std::unique(entries->begin(), entries->end()), entries->end());
}

void PersonMatcher::pairsOfKeys(const KeyEntries& entries, uint32_t split, bool sameFile,
                                const CandidateBounds& bounds, LargeVector<uint64_t>* found) const {
    LargeVector<uint32_t> ranks[2];
    nameOrders(ranks);
    // A key read as a sorted neighbourhood rather than in all its pairs.
    auto windowed = [&bounds](uint64_t key, uint64_t holders) {
        return holders > bounds.blockLimit || (key & kStartsKey) == kStartsKey;
    };
    {
        uint64_t most = 0;
        for (size_t from = 0, to; from < entries.size(); from = to) {
            for (to = from; to < entries.size() && entries[to].first == entries[from].first; ++to) {
            }
            const uint64_t k = to - from;
            most += windowed(entries[from].first, k) ? 2 * k * bounds.window : k * (k - 1) / 2;
        }
        found->reserve(most);
    }
    auto pairUp = [&](uint32_t a, uint32_t b) {
        if (a > b) std::swap(a, b);
        if (a == b) return;
        if (split && !(a < split && b >= split)) return;
        if (sameFile && b - split == a) return;
        found->push_back(static_cast<uint64_t>(a) << 32 | b);
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
}

void PersonMatcher::candidates(uint32_t split, bool sameFile, const CandidateBounds& bounds,
                               CandidatePairs* pairs) const {
    // (key, record) for every key of every record as one number, the key
    // in the high half, then runs of one key (the kinds of key above).
    KeyEntries entries;
    keyEntries(&entries);
    // The pairs as x << 32 | y, then by x: counted, placed, sorted and
    // made unique within each x.
    LargeVector<uint64_t> found;
    pairsOfKeys(entries, split, sameFile, bounds, &found);
    KeyEntries().swap(entries);
    LargeVector<uint64_t>& start = pairs->start;
    LargeVector<uint32_t>& partners = pairs->partners;
    bucketIndex(records(), [&](auto place) {
        for (uint64_t pair : found) place(pair >> 32, static_cast<uint32_t>(pair & kRecordBits));
    }, &start, &partners);
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

void PersonMatcher::markCopies(uint32_t split) {
    const uint32_t n = static_cast<uint32_t>(records());
    copyOf_.resize(n);
    // A record's words and values as one run of numbers, hashed; equal runs
    // are copies.
    auto run = [&](uint32_t r) {
        const uint32_t start = recordStart_[r];
        const uint32_t end = r + 1 < n ? recordStart_[r + 1] : static_cast<uint32_t>(recordWords_.size());
        return std::make_pair(start, end);
    };
    auto same = [&](uint32_t a, uint32_t b) {
        const auto ra = run(a), rb = run(b);
        return (split && a >= split) == (split && b >= split) && ra.second - ra.first == rb.second - rb.first &&
               std::equal(&recordWords_[ra.first], &recordWords_[0] + ra.second, &recordWords_[rb.first]) &&
               std::equal(valuesOf(a), valuesOf(a) + withCount_, valuesOf(b));
    };
    std::vector<std::pair<uint64_t, uint32_t>> hashes(n);
    for (uint32_t r = 0; r < n; ++r) {
        // Copies are of one side: a record of A equal to one of B is a
        // match, not a copy.
        uint64_t h = 0x9E3779B97F4A7C15ull + (split && r >= split);
        const auto rr = run(r);
        for (uint32_t i = rr.first; i < rr.second; ++i) h = (h ^ recordWords_[i]) * 0x100000001B3ull;
        for (int f = 0; f < withCount_; ++f) h = (h ^ valuesOf(r)[f]) * 0x100000001B3ull;
        hashes[r] = {h, r};
    }
    // A record without a name stands alone, however many there are.
    auto nameless = [&](uint32_t r) { return recordWords_[recordStart_[r]] == 0; };
    std::sort(hashes.begin(), hashes.end());
    for (uint32_t r = 0; r < n; ++r) copyOf_[r] = r;
    std::vector<uint32_t> heads;
    for (size_t i = 0; i < hashes.size();) {
        size_t j = i;
        while (j < hashes.size() && hashes[j].first == hashes[i].first) ++j;
        // Within one hash (in record order), each record joins the first
        // earlier one it equals; those that equal none are the firsts,
        // nearly always one.
        heads.clear();
        for (size_t k = i; k < j; ++k) {
            const uint32_t r = hashes[k].second;
            if (nameless(r)) continue;
            for (uint32_t head : heads)
                if (same(head, r)) {
                    copyOf_[r] = head;
                    break;
                }
            if (copyOf_[r] == r) heads.push_back(r);
        }
        i = j;
    }
    // The records that hold a word, a code or a value count a record and
    // its copies once: a name imported a thousand times is not common.
    std::vector<uint32_t> held, codes;
    for (uint32_t r = 0; r < n; ++r) {
        if (copyOf_[r] == r) continue;
        const NameWords name = nameOf(r);
        held.clear();
        for (int p = 0; p < kParts; ++p) {
            held.insert(held.end(), name.part[p], name.part[p] + name.count[p]);
            if (name.whole[p] != kNoWord) held.push_back(name.whole[p]);
        }
        codes.clear();
        for (uint32_t w : held) codes.push_back(facts_[w].code[0]);
        sortUnique(&held);
        sortUnique(&codes);
        for (uint32_t w : held) --facts_[w].holders;
        for (uint32_t code : codes)
            if (code != kNoWord) --codeHolders_[code];
        for (int f = 0; f < withCount_; ++f)
            if (valuesOf(r)[f] != kNoWord) --valueHolders_[f][valuesOf(r)[f]];
    }
    for (WordFacts& f : facts_) f.codeHolders = f.code[0] == kNoWord ? 0 : codeHolders_[f.code[0]];
}
