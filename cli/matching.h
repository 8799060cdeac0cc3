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

#include "command_parts.h"
#include "name_list.h"

enum class KeyKind { DMETAPHONE, METAPHONE, SOUNDEX, SOUNDEX5, PHONEX };
enum class ConfirmKind { LEVENSHTEIN, GUTH, NONE };

struct MatchSettings {
    KeyKind key = KeyKind::DMETAPHONE;
    int32_t limit = 4;  // maxlength of Double Metaphone and Metaphone
    ConfirmKind confirm = ConfirmKind::LEVENSHTEIN;
    int32_t maxDistance = 2;  // levenshtein:K
};

// Reads --key, --limit and --confirm from the options; EXIT_USAGE after a
// message when one is wrong.
int readMatchSettings(const CommandContext& context, MatchSettings* settings);

// "Double Metaphone", "Soundex" and so on, for messages.
const char* keyTitle(KeyKind key);

const uint32_t kNoCode = UINT32_MAX;
const int32_t kNoKey = -1;

// The library's answers, as the matching needs them.
class MatchCalls {
public:
    // Finds the functions in the table; false with a message when one is
    // missing or takes other parameters.
    bool open(const CommandContext& context, const MatchSettings& settings, std::string* problem);
    // The codes of a name, each in its own string (empty when absent).
    bool codes(const char* name, size_t size, std::string* first, std::string* second);
    // The name as ovLevenshtein leaves it: upper-cased and reduced to A to Z
    // (unchanged when the library does not reduce it: longer than 255 bytes).
    bool reduce(const char* name, size_t size, std::string* form, bool* reduced);
    bool levenshtein(const char* a, size_t aSize, const char* b, size_t bSize, int32_t* distance);
    bool guth(const char* a, size_t aSize, const char* b, size_t bSize, int32_t mode, int32_t* value);
    // The error answer that stopped the matching.
    const std::string& error() const { return error_; }

private:
    bool call(int32_t number, const std::string& function, int argCount);
    void setName(int i, std::vector<char>& buffer, const char* name, size_t size);

    const Library* library_ = nullptr;
    const CommandContext* context_ = nullptr;
    MatchSettings settings_;
    int32_t encoder_ = 0, levenshtein_ = 0, guth_ = 0;
    std::string encoderName_;
    std::vector<char> first_, second_;
    HostValue args_[3];
    CallOutcome outcome_;
    std::string error_;
};

// What a cheap test needs of a form to tell that its Levenshtein distance to
// another is certainly above K, so that the pair needs no call: the distance
// of two reduced forms is at least the difference of their lengths, and at
// least the number of letters that one has and the other lacks.
struct FormShape {
    uint32_t letters = 0;  // bit i: letter 'A' + i occurs
    uint16_t length = 0;
    bool reduced = false;  // the library reduced it (else nothing is known)
};

inline int bitCount(uint32_t v) {
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    return static_cast<int>((((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}

// False when the distance of the two forms is certainly above `k`.
inline bool mayBeWithin(const FormShape& a, const FormShape& b, int32_t k) {
    if (!a.reduced || !b.reduced) return true;
    int length = a.length > b.length ? a.length - b.length : b.length - a.length;
    int onlyA = bitCount(a.letters & ~b.letters), onlyB = bitCount(b.letters & ~a.letters);
    int bound = length > onlyA ? length : onlyA;
    if (onlyB > bound) bound = onlyB;
    return bound <= k;
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
    bool open(const CommandContext& context, std::string* problem) { return calls_.open(context, settings_, problem); }

    // Sorts the distinct names of `list` into classes.
    bool classify(const NameList& list, ClassList* classes);
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
bool groupNames(Matcher& matcher, const NameList& list, const ClassList& classes, Grouping* grouping);

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
