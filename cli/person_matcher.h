// Finding the same person among records: the words of each name and the
// library's answers about them, candidate pairs from several keys per
// record, each pair's comparisons, and the Fellegi–Sunter weights fitted
// to the candidates. The command pieces around it (person_command.cpp)
// read, cluster or pick, and write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../matching/fellegi_sunter.h"
#include "../matching/word_pair_levels.h"
#include "matching.h"
#include "person_list.h"

const uint32_t kNoWord = UINT32_MAX;

// A name as word numbers: the words compared (no particles) and the whole
// part written as one word ("VANDENBERG", "SMITHJONES"), kNoWord when that
// is a word of its own already.
struct WordName {
    std::vector<uint32_t> given, surname;
    uint32_t givenWhole = kNoWord, surnameWhole = kNoWord;
};

struct Candidate {
    uint32_t x, y;        // records, x < y (in link: x of A, y of B after A's)
    Pattern pattern = 0;  // the levels of given, surname, then each --with field
    bool crosswise = false;  // x's given name was compared with y's surname and the other way round
    // Per name comparison: agreeing exactly, how many records hold the word
    // it agreed on (the rarest, where several agreed); agreeing closely,
    // how many hold a word of the code of the two words (the more common
    // code); 0 otherwise.
    uint32_t holders[kValueWeighted] = {0, 0};
};

// The candidate of a pair as candidates() gives it, not yet compared.
inline Candidate candidateOf(uint64_t pair) {
    Candidate c;
    c.x = static_cast<uint32_t>(pair >> 32);
    c.y = static_cast<uint32_t>(pair);
    return c;
}

// A pair's weight, its exact names weighed by how rare they are.
inline double pairWeight(const FsModel& model, const Candidate& pair) { return model.weight(pair.pattern, pair.holders); }

// How candidates are found: every word's first code, and every --with
// value with the first letter of each name word, is a key; the records of
// a key meet in pairs, but a key held by more than `blockLimit` records
// pairs each record only with the `window` records next to it in the order
// of their names, and in that order read backwards, so that thousands of
// Smiths cost a few pairs each, not a square.
struct CandidateBounds {
    size_t blockLimit = 50;
    size_t window = 8;
};

class PersonMatcher {
public:
    bool open(const CommandContext& context, std::string* problem);
    // Adds the records of a list after those added before.
    bool add(const PersonList& people);
    size_t records() const { return names_.size(); }

    // The candidate pairs, each as x << 32 | y in ascending order: all of
    // them, or with `split` > 0 only pairs of a record below `split` and
    // one from it on (A and B of link), leaving out a record with its own
    // copy when `sameFile` (a file linked with itself).
    void candidates(uint32_t split, bool sameFile, const CandidateBounds& bounds, std::vector<uint64_t>* pairs);
    // Fills the pair's pattern with the library's answers; false on an
    // error answer.
    bool compare(Candidate* pair);
    int comparisons() const { return 2 + withCount_; }
    // The levels of `count` pairs drawn at random (seeded: the same input
    // gives the same answer), per comparison: in link one record of A and
    // one of B (`split` as above).
    bool randomPairLevels(uint32_t split, uint32_t count, std::vector<std::vector<uint64_t>>* levels);
    const std::string& error() const { return calls_.error(); }
    // For the given names (0) or the surnames (1): the share of the other
    // records that hold the commonest code of a record's name, on average
    // over the records that have one.
    double codeAgreement(int part) const;

private:
    uint32_t word(const std::string& text);
    bool wordLevel(uint32_t a, uint32_t b, Level* level);
    // The records holding a word of the code of `a` or of `b`, the larger.
    uint32_t codeHoldersOf(uint32_t a, uint32_t b) const;
    bool nameLevel(const std::vector<uint32_t>& a, uint32_t aWhole, const std::vector<uint32_t>& b, uint32_t bWhole,
                   Level* level, uint32_t* holders);

    MatchCalls calls_;
    StringPool words_;
    std::vector<std::string> codes_[2];  // per word: its Double Metaphone codes
    std::vector<bool> coded_;
    std::vector<uint32_t> holders_;  // per word: the records whose name holds it
    StringPool codeIds_;              // the first codes of the words
    std::vector<uint32_t> codeOf_;    // per word: its first code's number, kNoWord without one
    std::vector<uint32_t> codeHolders_;  // per code: the records whose name holds a word of it
    WordPairLevels levels_;  // of word pairs asked already
    std::vector<WordName> names_;                  // per record
    std::vector<std::string> sortNames_;           // per record: its words, surname first, for the window order
    std::vector<std::string> reversedNames_;       // the same read backwards
    std::vector<std::vector<std::string>> values_;  // per record
    int withCount_ = 0;
};

// The comparisons' names for --explain: "given", "surname", then the
// --with fields as written.
std::vector<std::string> comparisonNames(const std::vector<std::string>& withFields);

// "given exact +6.2, surname close +3.9 (crosswise), dob missing 0 = 10.1"
std::string explainPair(const FsModel& model, const Candidate& pair, const std::vector<std::string>& names);
