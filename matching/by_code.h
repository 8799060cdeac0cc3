// Finding the same name spelled differently, for group and link. Every
// code, distance and match verdict is the library's answer, asked through
// its entry points with a fresh copy of each name; what is computed here is
// only which names to ask about, and each question is asked once.
//
// Names are taken in classes: the distinct names (as bytes) that have the
// same codes and the same reduced form (the letters A to Z that remain when
// ovLevenshtein has upper-cased and reduced the name in place, which is
// exactly what ovLevenshtein and ovGuthMatch compare). Names of one class
// are alike in everything the matching sees, so only classes are compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "levels.h"
#include "../host/match_calls.h"
#include "../records/string_pool.h"

enum class ConfirmKind { LEVENSHTEIN, GUTH, NONE };

struct MatchSettings {
    KeyKind key = KeyKind::DMETAPHONE;
    int32_t limit = 4;  // maxlength of Double Metaphone and Metaphone
    ConfirmKind confirm = ConfirmKind::LEVENSHTEIN;
    int32_t maxDistance = 2;  // levenshtein:K
};

// "Double Metaphone", "Soundex" and so on, for messages.
const char* keyTitle(KeyKind key);

const uint32_t kNoCode = UINT32_MAX;  // a name without a code: in no class
const int32_t kNoKey = -1;

// What a cheap test needs of a form to tell that its Levenshtein distance to
// another is certainly above K, so that the pair needs no call: the distance
// of two reduced forms is at least the difference of their lengths, and at
// least the number of letters that one has and the other lacks.
struct FormShape {
    uint32_t letters = 0;  // bit i: letter 'A' + i occurs
    uint16_t length = 0;
    bool reduced = false;  // the library reduced it (else nothing is known)
};

// False when the distance of the two forms is certainly above `k`.
inline bool mayBeWithin(const FormShape& a, const FormShape& b, int32_t k) {
    return !a.reduced || !b.reduced || distanceAtLeast(a.letters, a.length, b.letters, b.length) <= k;
}

// What all lists of one command share: the codes and reduced forms met so
// far, and the verdicts of each form with itself.
struct Catalog {
    StringPool keys;
    StringPool forms;    // reduced by the library, or as given
    StringPool samples;  // for each form, the first name that gave it
    std::vector<FormShape> shape;     // of each form
    std::vector<int8_t> selfVerdict;  // -1 not asked yet, 0 no, 1 yes
};

// The classes of one list, numbered in order of first appearance.
struct ClassList {
    std::vector<uint32_t> classOfName;  // per distinct name: its class, or kNoCode
    std::vector<uint32_t> form;         // per class
    std::vector<int32_t> keys[2];       // per class: its first code, its other code or kNoKey
};

class Matcher {
public:
    explicit Matcher(const MatchSettings& settings) : settings_(settings) {}
    void open(const Library& library, const MatchFunctions& functions) {
        calls_.open(library, functions, settings_.key, settings_.limit);
    }

    // Sorts the distinct names of `list` into classes.
    bool classify(const StringPool& names, ClassList* classes);
    // Whether the names of two forms join under the --confirm rule;
    // `distance` gets ovLevenshtein's answer when it was asked. False on an
    // error answer. The cheap test of mayBeWithin comes first.
    bool confirmed(uint32_t formA, uint32_t formB, bool* yes, int32_t* distance);
    // The same when the caller has made that test.
    bool confirmedUntested(uint32_t formA, uint32_t formB, bool* yes, int32_t* distance);
    // Whether a pair can pass the cheap test.
    bool mayJoin(const FormShape& a, const FormShape& b) const {
        return settings_.confirm != ConfirmKind::LEVENSHTEIN || mayBeWithin(a, b, settings_.maxDistance);
    }
    // A joined pair's Guth percentage and Levenshtein distance.
    bool measure(uint32_t formA, uint32_t formB, int32_t* percent, int32_t* distance);

    const Catalog& catalog() const { return catalog_; }
    const std::string& error() const { return calls_.error(); }

private:
    MatchSettings settings_;
    MatchCalls calls_;
    Catalog catalog_;
    StringPool classTuples_;  // per list, rebuilt by classify
};

// The groups of one list. Two records are candidates when their names
// share a code; a candidate pair joins when confirmed; groups are the
// connected sets of joined records, numbered in order of first appearance.
struct Grouping {
    std::vector<uint32_t> groupOfRecord;  // per record: its group from 1, or 0 when it stands alone
    std::vector<int32_t> groupKey;        // per group from 1 (index 0 unused): the code that joined it
    uint64_t grouped = 0;                 // records in groups
    uint64_t withoutCode = 0;             // records whose name has no code
};

// The key of a group is the code that joined its first record to its
// earliest look-alike: a later record of a name of the same class (then
// its first code), or the first record of the earliest class joined to it
// (then the first of its codes, in order, that the two share).
// `nameOf`: each record's distinct name (a number of the list's names),
// or kNoName.
bool groupNames(Matcher& matcher, const std::vector<uint32_t>& nameOf, const ClassList& classes, Grouping* grouping);

// The classes of a list by code: for each code, the classes that have it,
// in class order, each with what the tests before a call need, so that a
// run is read in one sweep.
struct KeyEntry {
    uint32_t cls;
    int32_t keys[2];  // the class's codes
    FormShape shape;  // of its form
};
struct KeyIndex {
    std::vector<uint32_t> start;     // per code: where its run begins in `entries`
    std::vector<KeyEntry> entries;
    std::vector<uint32_t> position[2];  // per class: where it stands in the run of its first and other code
};
void buildKeyIndex(const Catalog& catalog, const ClassList& classes, KeyIndex* index);

struct LinkMatch {
    uint32_t bClass;
    int32_t key;  // the first code of A's class that B's shares
    int32_t percent;
    int32_t distance;
};

// The classes of B that class `a` of A joins, in class order.
bool linkClass(Matcher& matcher, const ClassList& aClasses, uint32_t a, const ClassList& bClasses,
               const KeyIndex& bIndex, std::vector<LinkMatch>* matches);

// The matches of every class of A, in class order: class c's are
// matches[start[c]] to matches[start[c + 1]]. With `best`, each class's
// best only: the highest percentage, then the lowest distance, then the
// first in B (classes are in order of first records).
struct LinkMatches {
    std::vector<uint32_t> start;
    std::vector<LinkMatch> matches;
};
bool linkClasses(Matcher& matcher, const ClassList& aClasses, const ClassList& bClasses, const KeyIndex& bIndex,
                 bool best, LinkMatches* out);
