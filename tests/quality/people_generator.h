// Synthetic people with labelled duplicates, for measuring how well group
// and link find the same person. Each person has a given name and a surname
// of one country (from the lists in names/), a date of birth and a
// postcode; a duplicate is a copy spoiled by the errors that real exports
// show (typing, hearing, scanning, missing and misplaced fields). The same
// seed gives the same records on every platform: the random numbers come
// from a generator of our own, not from the standard library's
// distributions, which differ between implementations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A small, fast and portable source of random numbers (splitmix64).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // A number from 0 to n - 1 (n > 0).
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
    // True with probability `p`.
    bool chance(double p) { return (next() >> 11) * (1.0 / 9007199254740992.0) < p; }

private:
    uint64_t state_;
};

struct NameEntry {
    std::string country;
    std::string name;  // UTF-8
};

struct NameLists {
    std::vector<NameEntry> given, surnames;
    // Parts of made surnames, each entry's name one part.
    std::vector<NameEntry> starts, middles, ends;
};

// Reads given.tsv, surnames.tsv and surname_parts.tsv of `directory`;
// false with `problem` set.
bool readNameLists(const std::string& directory, NameLists* lists, std::string* problem);

struct Person {
    std::string given, surname;  // UTF-8; empty when missing
    std::string dob;             // YYYY-MM-DD, or empty
    std::string postcode;        // five digits, or empty
};

// One written record: a person's truth id and the fields as they appear.
struct PersonRecord {
    uint32_t id = 0;     // the record's own number, from 1
    uint32_t truth = 0;  // the person's number: equal for records of one person
    Person fields;
    std::string name;    // given and surname in one field: "Given Surname" or "Surname, Given"
    std::string errors;  // the errors applied, for reading the data: "typo,ocr"
};

// A new person: a country; a given name of it, the common ones most often
// (now and then one of any country), and a surname, a common one
// or one made of parts, so that most people's names are their own, as in
// a real population (a Spanish person mostly has two; now and then one is
// a double name); a date of birth from 1930 to 2009 and a postcode.
Person makePerson(const NameLists& lists, Random& random);

// A copy of `person` spoiled by one to three errors, named in `errors`.
Person spoil(const Person& person, Random& random, std::string* errors);

// The name field of a record: mostly "Given Surname", sometimes
// "Surname, Given".
std::string fullName(const Person& person, Random& random);

// For group: `people` persons, each written once and with zero to four
// spoiled copies, shuffled.
std::vector<PersonRecord> makeGroupList(const NameLists& lists, uint64_t seed, uint32_t people);

// For link: B has every one of `people` persons once, as they are; A has a
// spoiled copy of four in five of them and a fifth as many persons of its
// own, so that one record of B matches at most one of A. Both shuffled.
void makeLinkLists(const NameLists& lists, uint64_t seed, uint32_t people, std::vector<PersonRecord>* a,
                   std::vector<PersonRecord>* b);

// The records as CSV with a header: id,truth,given,surname,name,dob,postcode,errors.
std::string toCsv(const std::vector<PersonRecord>& records);
