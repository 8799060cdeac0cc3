// The records of the matching of people and what is known of them: the
// words of each name and the library's answers about them, the --with
// values, and what the stages read of a record (engine.h names the
// stages; each has its file: person_words.cpp, candidates.cpp,
// compare.cpp, bounds.cpp, model_fit.cpp).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "candidates.h"
#include "levels.h"
#include "model.h"
#include "nicknames.h"
#include "prepare.h"
#include "word_pair_levels.h"
#include "../host/match_calls.h"
#include "../records/large_vector.h"
#include "../records/string_pool.h"

const uint32_t kNoWord = UINT32_MAX;
// A name's two parts, the given names (0) and the surnames (1): the name
// comparisons, straight or crosswise.
const int kParts = kNameComparisons;

// What the matching knows of a word: how many records hold it and its
// code, and its codes as numbers, so that comparing two records touches
// the records and their words' facts, not their texts.
struct WordFacts {
    uint32_t holders = 0;      // records whose name holds the word
    uint32_t codeHolders = 0;  // records whose name holds a word of its first code
    // Its Double Metaphone codes' numbers (the alternate is the first when
    // there is none); kNoWord without a code.
    uint32_t code[2] = {kNoWord, kNoWord};
    uint32_t length = 0;
    char first = 0;
    bool nicknamed = false;  // in the nickname table: worth asking nicknamed()
    uint64_t letters = 0;  // letterProfile
    // The word itself when it is no longer (most are), so that comparing
    // it reads the line its facts are on.
    static const uint32_t kInline = 32;
    char text[kInline];
};

// Whether two words share a Double Metaphone code, from their two codes
// each (the alternate the first when there is none; `none` without a code).
template <class Code>
bool shareACode(const Code a[2], const Code b[2], Code none) {
    return a[0] != none && (a[0] == b[0] || a[0] == b[1] || a[1] == b[0] || a[1] == b[1]);
}

// A record's name as word numbers, a view of the matcher's flat arrays.
struct NameWords {
    const uint32_t* part[2];  // the given names, the surnames: the words compared (no particles)
    uint32_t count[2];
    // Each part written as one word ("VANDENBERG", "SMITHJONES"), kNoWord
    // when it is a word of its own already.
    uint32_t whole[2];
};

class PersonMatcher {
public:
    // Double Metaphone codes of up to kCodeLength letters: long enough
    // that a code tells names apart, where its usual four would not.
    static const int32_t kCodeLength = 8;
    void open(const Library& library, const MatchFunctions& functions) {
        calls_.open(library, functions, KeyKind::DMETAPHONE, kCodeLength);
    }
    // The given names and nicknames that agree as ALIKE (null: none);
    // set before the first add, and outliving the matcher.
    void setNicknames(const NicknameTable* table) { nicknames_ = table && !table->empty() ? table : nullptr; }
    // Adds the records of a list after those added before; false on an
    // error answer.
    bool add(const PeopleColumns& people);
    size_t records() const { return recordStart_.size(); }

    // Marks the records whose names and --with values are those of an
    // earlier record, word for word and value for value (in link, of the
    // same side, A below `split` or B): such copies take no keys
    // (candidates meets only the first of them) and share its group or
    // its pairs. copyOf(r) is the first record of r's copies, r itself for
    // a record of its own or the first.
    void markCopies(uint32_t split = 0);
    uint32_t copyOf(uint32_t record) const { return copyOf_.empty() ? record : copyOf_[record]; }
    const std::vector<uint32_t>& copies() const { return copyOf_; }
    // The records less their copies.
    size_t distinctRecords() const {
        size_t n = 0;
        for (uint32_t r = 0; r < records(); ++r) n += copyOf(r) == r;
        return n;
    }
    // The candidate pairs: all of them, or with `split` > 0 only pairs of a
    // record below `split` and one from it on (A and B of link), leaving
    // out a record with its own copy when `sameFile` (a file linked with
    // itself).
    void candidates(uint32_t split, bool sameFile, const CandidateBounds& bounds, CandidatePairs* pairs) const;
    // Fills the pair's pattern with the library's answers; false on an
    // error answer. Given `reached`, under the model set by setModel: sets
    // it false, leaving the pattern unset, when the pair cannot weigh
    // `atLeast` (from what its --with values, the words the two records
    // hold alike and their codes' holders allow), else true.
    bool compare(Candidate* pair, double atLeast = 0, bool* reached = nullptr);
    // Under the model set by setModel: false when the pair of x and y
    // cannot weigh `atLeast`, from their --with values and their bound
    // lines alone (cheaper than compare and looser for records of several
    // words a part).
    bool mayReach(uint32_t x, uint32_t y, double atLeast) const;
    // Asks the processor for what mayReach and compare read of `record`, in
    // four steps some candidates apart (its bound line; its place and
    // values; its words; their weights and facts): a candidate's other
    // record is anywhere in memory, and waiting for it was most of the time
    // of a large list. Always inlined: a call of a function that only reads
    // and prefetches has no effect the compiler must keep, and it drops
    // such calls whole.
    __attribute__((always_inline)) void prefetch(uint32_t record, int step) const {
        if (step == 0) {
            if (withCount_ > RecordBound::kValues) __builtin_prefetch(valuesOf(record));
            if (!recordBounds_.empty()) {
                // Both ends, when a record's bound straddles two cache lines.
                const char* bound = reinterpret_cast<const char*>(&recordBounds_[record]);
                __builtin_prefetch(bound);
                if (reinterpret_cast<uintptr_t>(bound) % 64 != 0) __builtin_prefetch(bound + sizeof(RecordBound) - 1);
            }
        } else if (step == 1) {
            __builtin_prefetch(&recordStart_[record]);
            __builtin_prefetch(valuesOf(record));
        } else if (step == 2) {
            const size_t at = recordStart_[record];
            __builtin_prefetch(&recordWords_[at]);
            __builtin_prefetch(&recordWords_[std::min(at + 7, recordWords_.size() - 1)]);
        } else if (!wordWeights_.empty()) {
            const NameWords n = nameOf(record);
            for (int p = 0; p < kParts; ++p)
                for (uint32_t i = 0; i < n.count[p]; ++i) {
                    __builtin_prefetch(&wordWeights_[n.part[p][i]]);
                    __builtin_prefetch(&facts_[n.part[p][i]]);
                }
        }
    }
    // The levels of the first words' pairs of x and y, straight and
    // crosswise, looked up if the pair passes its first bound.
    __attribute__((always_inline)) void prefetchLevels(uint32_t x, uint32_t y) const {
        if (recordBounds_.empty()) return;
        const RecordBound& a = recordBounds_[x];
        const RecordBound& b = recordBounds_[y];
        for (int p = 0; p < kParts; ++p)
            for (int q = 0; q < kParts; ++q)
                if (a.word[p] != kNoWord && b.word[q] != kNoWord && a.word[p] != b.word[q])
                    levels_.prefetch(a.word[p], b.word[q]);
    }
    // Readies compare's bounds for `model`, which must outlive the matcher's
    // use of them.
    void setModel(const FsModel& model);
    int comparisons() const { return kNameComparisons + withCount_; }
    // Per comparison, the levels it can land on (levelMask).
    std::vector<uint8_t> levelMasks() const {
        std::vector<uint8_t> masks(kNameComparisons, levelMask(nicknames_ != nullptr));
        for (ValueKind kind : kinds_) masks.push_back(levelMask(kind));
        return masks;
    }
    // The levels of `count` pairs drawn at random (seeded: the same input
    // gives the same answer), per comparison: in link one record of A and
    // one of B (`split` as above).
    // The --with fields but text on kRandomValuePairs pairs.
    bool randomPairLevels(uint32_t split, uint32_t count, std::vector<std::vector<uint64_t>>* levels);
    // The chance that two records drawn at random (one of A and one of B)
    // hold one value of a --with field, both holding one.
    double exactValueShare(int field, uint32_t split) const;
    const std::string& error() const { return calls_.error(); }
    // For a record below `split` (of A) whose name lacks its given names or
    // its surnames and has one word in the other part: the sum of the
    // ratios 2^weight / `others` of the records from `split` on (of B)
    // that hold that word, each of which agrees with it exactly on the part
    // it has (the part it lacks counts neither way), whether they met it as
    // candidates or not: a key held by many pairs a record only with a few
    // of them, and the record with a part missing with the wrong ones. 0
    // for any other record. Under the model set by setModel.
    double tiedRivals(uint32_t record, uint32_t split, double others);
    // For the given names (0) or the surnames (1): the share of the other
    // records that hold the commonest code of a record's name, on average
    // over the records that have one.
    double codeAgreement(int part) const;

private:
    // Each number once, in order.
    static void sortUnique(std::vector<uint32_t>* numbers);
    NameWords nameOf(uint32_t record) const {
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
    // The first two bytes of a word of two or more, as one number.
    uint64_t firstLetters(uint32_t word) const;
    const uint32_t* valuesOf(uint32_t record) const { return values_.data() + static_cast<size_t>(record) * withCount_; }
    std::string_view valueText(uint32_t value) const { return {valueTexts_.data(value), valueTexts_.size(value)}; }
    uint32_t word(const std::string& text);
    const char* wordText(uint32_t word) const {
        return facts_[word].length <= WordFacts::kInline ? facts_[word].text : words_.data(word);
    }
    // The level of two words, from what is known of them or else the
    // library's answers; false on an error answer.
    bool askWordLevel(uint32_t a, uint32_t b, Level* level);
    // The highest level two words can reach without asking the library:
    // EXACT for a word and itself, the level of an initial, ALIKE for a
    // nickname (all three the level itself), else from
    // their letters and codes (whether they agree set in `codesAgree`).
    Level wordPairBound(uint32_t a, uint32_t b, bool* codesAgree) const;
    // The records holding a word of the code of `a` or of `b`, the larger.
    uint32_t codeHoldersOf(uint32_t a, uint32_t b) const;
    bool nameLevel(const NameWords& a, int aPart, const NameWords& b, int bPart, Level* level, uint32_t* holders);
    // The highest level part `aPart` of a and `bPart` of b can reach
    // without asking the library (MISSING when either is empty).
    Level partLevelAtMost(const NameWords& a, int aPart, const NameWords& b, int bPart) const;
    // Per name comparison, the most that part `aPart` of a and `bPart` of
    // b can weigh agreeing exactly (a word both hold) and nearly.
    struct PartWeights {
        double exact[kNameComparisons], close[kNameComparisons];
    };
    void partWeights(const NameWords& a, int aPart, const NameWords& b, int bPart, PartWeights* out) const;
    // The most the part pair weighs as name comparison `c` at level `most`
    // or below (`weights` needed for CLOSE and EXACT only).
    double partBound(int c, const PartWeights& weights, Level most) const;
    // The level of two value numbers of a field: for text, the most it
    // can be (askValueLevel asks the library).
    Level valueLevelOf(int field, uint32_t a, uint32_t b) const {
        if (a == kNoWord || b == kNoWord) return MISSING;
        return a == b ? EXACT : valueLevel(kinds_[field], valueText(a), valueText(b));
    }
    // The level of the values of x and y in a field; false on an error
    // answer.
    bool askValueLevel(uint32_t x, uint32_t y, int field, Level* level);
    // What the value of `record` in a field adds to its exact agreement's
    // weight, under the model.
    double valueRarity(uint32_t record, int field) const {
        const uint32_t v = valuesOf(record)[field];
        return v == kNoWord || valueRarity_.empty() ? 0 : valueRarity_[field][v];
    }
    // The stages of candidates(): every (key, record), sorted by key, each
    // once; the keys of one record; the pairs that each key's records make.
    typedef LargeVector<std::pair<uint64_t, uint32_t>> KeyEntries;
    void keyEntries(KeyEntries* entries) const;
    void addKeys(uint32_t record, std::string& letters, KeyEntries* entries) const;
    void pairsOfKeys(const KeyEntries& entries, uint32_t split, bool sameFile, const CandidateBounds& bounds,
                     LargeVector<uint64_t>* found) const;
    // Each record's place in the order of its name (surname first) and in
    // that order read backwards, for the windows of large keys.
    void nameOrders(LargeVector<uint32_t> ranks[2]) const;

    // Which of two different words is asked first of Guth's walk, which
    // is not symmetric: the first in alphabetical order, so that the answer
    // does not hang on which record came first.
    bool before(uint32_t a, uint32_t b) const { return textRank_[a] < textRank_[b]; }
    // Each word's place among all words in alphabetical order.
    void rankWords();
    // Whether two different words are one given name written two ways.
    bool nicknamed(uint32_t a, uint32_t b) const {
        if (!nicknames_) return false;
        const uint32_t* x = &nickGroups_[nickStart_[a]];
        const uint32_t* xEnd = &nickGroups_[0] + nickStart_[a + 1];
        const uint32_t* y = &nickGroups_[nickStart_[b]];
        const uint32_t* yEnd = &nickGroups_[0] + nickStart_[b + 1];
        while (x < xEnd && y < yEnd) {
            if (*x == *y) return true;
            *x < *y ? ++x : ++y;
        }
        return false;
    }

    MatchCalls calls_;
    std::vector<uint32_t> copyOf_;  // per record, when markCopies was asked
    const NicknameTable* nicknames_ = nullptr;
    // Per word, from nickStart_[w] to nickStart_[w + 1]: the names of the
    // nickname table it belongs to, ascending.
    std::vector<uint32_t> nickStart_{0}, nickGroups_{0};
    std::vector<uint32_t> textRank_;  // per word (before)
    StringPool words_;
    LargeVector<WordFacts> facts_;     // per word
    size_t coded_ = 0;                 // the words whose facts hold their codes
    StringPool codeTexts_;             // the words' codes, numbered
    // Per word: the records from splitFrom_ on that hold it (tiedRivals).
    std::vector<uint32_t> holdersFrom_;
    uint32_t splitFrom_ = UINT32_MAX;
    std::vector<uint32_t> codeHolders_;  // per code: the records whose name holds a word of it as its first
    WordPairLevels levels_;            // of word pairs asked lately
    // Per word, per name comparison, under the model: an exact agreement
    // on it, and the most that a near miss of it weighs (by its code's
    // holders).
    struct WordWeights {
        double exact[kNameComparisons], close[kNameComparisons];
    };
    LargeVector<WordWeights> wordWeights_;
    // Per record, under the model: what the first bound of a pair reads,
    // in one place (64 bytes, a cache line of a large list's array); the
    // weights are rounded up, so that the bound never falls. A part of one
    // word (most are) is told in full; one of several words keeps the most
    // any of them weighs and a bit of each word.
    struct RecordBound {
        uint32_t word[2];         // the part's first word, kNoWord without
        uint16_t codes[2][2];     // single: its word's codes, folded to 16 bits (0: none)
        uint64_t letters[2];      // single: its word's letterProfile and kSingle; else its words' bits
        // Per part, per name comparison, in 64ths of a bit rounded up: a
        // word of it agreed on exactly, and the most a near miss of a word
        // of it weighs.
        int16_t exact[2][2], close[2][2];
        static const int kValues = 4;
        uint32_t values[kValues];  // the first --with values' numbers, kNoWord when empty
        static const uint64_t kSingle = 1ull << 63;  // at most one word, not written whole
        // Single: its word is in the nickname table. (Several words' bits
        // may hold it too: read only for a single word.)
        static const uint64_t kNicknamed = 1ull << 62;
        static int16_t up(double weight) {
            const double scaled = std::ceil(weight * 64);
            return scaled >= INT16_MAX ? INT16_MAX : scaled <= INT16_MIN ? INT16_MIN : static_cast<int16_t>(scaled);
        }
        static double weight(int16_t scaled) { return scaled == INT16_MAX ? HUGE_VAL : scaled / 64.0; }
        bool single(int part) const { return (letters[part] & kSingle) != 0; }
        bool simple() const { return single(0) && single(1); }
        uint64_t profile(int part) const { return letters[part] & ~(kSingle | kNicknamed); }
        bool nicknamed(int part) const { return single(part) && (letters[part] & kNicknamed) != 0; }
        // The bits of the part's words: two parts that share a word share
        // a bit.
        uint64_t words(int part) const { return single(part) ? wordBit(word[part]) : letters[part]; }
    };
    // One of 63 bits (the 64th marks a single word).
    static uint64_t wordBit(uint32_t word) { return 1ull << ((word * 0x9E3779B1u >> 7) % 63); }
    static_assert(sizeof(RecordBound) == 64, "one cache line");
    LargeVector<RecordBound> recordBounds_;
    // Per name comparison, per level below CLOSE: the most a word pair of
    // that level or a lower one weighs.
    double atMost_[kNameComparisons][CLOSE];
    double alike_[kNameComparisons];  // a nickname's weight
    std::vector<double> valueWeights_;  // per --with field, per level below MISSING
    // The most a pair's names can weigh as they stand and crosswise, from
    // `bound(c, aPart, bPart)`, the most part `aPart` of one record and
    // `bPart` of the other weigh as name comparison `c`.
    struct NameBounds {
        double given, surname, givenSurname[2], surnameGiven[2];
        double crosswise() const {
            return std::max(givenSurname[0] + surnameGiven[1], givenSurname[1] + surnameGiven[0]);
        }
        double most() const { return std::max(given + surname, crosswise()); }
    };
    template <class Bound>
    static NameBounds nameBounds(Bound bound) {
        NameBounds n;
        n.given = bound(0, 0, 0);
        n.surname = bound(1, 1, 1);
        for (int c = 0; c < kNameComparisons; ++c) n.givenSurname[c] = bound(c, 0, 1), n.surnameGiven[c] = bound(c, 1, 0);
        return n;
    }
    // Under the model: the weight of a pattern's --with levels (with the
    // pair's rarities), and the
    // most the names of x and y can weigh (as they stand and crosswise).
    double valuesWeight(Pattern p, const Candidate& pair) const;
    NameBounds namesAtMost(uint32_t x, uint32_t y) const;
    // From the records' lines alone: the highest level their parts can
    // reach (MISSING without a word; EXACT when they may share a word;
    // for parts of one word, with `letters`, from their letters and codes;
    // else CLOSE), and the most the part pair then weighs.
    Level lineLevelAtMost(const RecordBound& a, int aPart, const RecordBound& b, int bPart, bool letters) const;
    double linePartBound(int c, const RecordBound& a, int aPart, const RecordBound& b, int bPart, Level most) const;
    const FsModel* model_ = nullptr;
    // Per record, from recordStart_: the counts of given names and of
    // surnames (one word, the surnames' in the high half), the two wholes,
    // then the given names' and the surnames' words.
    LargeVector<uint32_t> recordWords_;
    LargeVector<uint32_t> recordStart_;
    StringPool valueTexts_;            // the --with values, numbered
    LargeVector<uint32_t> values_;     // per record, per --with field: its value's number, kNoWord when empty
    int withCount_ = 0;
    std::vector<ValueKind> kinds_;     // per --with field
    // Per --with field, per value number: the records holding it, and
    // under the model what agreeing on it adds (FsModel::valueRarity).
    std::vector<std::vector<uint32_t>> valueHolders_;
    std::vector<std::vector<float>> valueRarity_;
    // The levels of pairs of text values asked of the library, by their
    // numbers (the smaller in the high half).
    std::unordered_map<uint64_t, uint8_t> textLevels_;
};

// The comparisons' names for --explain: "given", "surname", then the
// --with fields as written.
std::vector<std::string> comparisonNames(const std::vector<std::string>& withFields);

// "given exact +6.2, surname close +3.9 (crosswise), dob missing 0 = 10.1"
std::string explainPair(const FsModel& model, const Candidate& pair, const std::vector<std::string>& names);
