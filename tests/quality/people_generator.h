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
#include <map>
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

// ---------------------------------------------------------------------------
// Exports closer to real ones: a customer list of many countries, some
// names in their own script, with the duplicates such lists hold.

// A town and its other spellings: cities.tsv (the usual spelling first).
struct Town {
    std::string country;
    std::vector<std::string> spellings;
};

// What the export modes read: the lists of the group and link modes, the
// names of some countries in their own script, towns, and the nicknames of
// English given names.
struct ExportLists {
    NameLists names;   // given.tsv, surnames.tsv, surname_parts.tsv
    NameLists native;  // given_native.tsv, surnames_native.tsv, surname_parts_native.tsv
    std::vector<Town> towns;                       // cities.tsv
    std::vector<NameEntry> townStarts, townEnds;   // town_parts.tsv
    std::map<std::string, std::vector<std::string>> nicknames;  // "robert": {"bob", "rob", ...}
};

// Reads the lists of `directory` and the nicknames of `nicknamesFile`
// (CSV: name1,relationship,name2, as data/nicknames/names.csv); false with
// `problem` set.
bool readExportLists(const std::string& directory, const std::string& nicknamesFile, ExportLists* lists,
                     std::string* problem);

// How much of each trouble a list holds. The default is what a customer
// export of some years shows; the others stress one trouble each, so that
// figures can be compared across kinds of data rather than tuned to one.
struct Mix {
    std::string name;
    double spellingErrors = 1;  // weight of typing, hearing and scanning errors
    double missingFields = 1;   // weight of fields left empty
    uint32_t extraErrors = 0;   // errors added to each spoiled copy
    double duplicated = 0.4;    // share of people with spoiled copies
    double exactCopies = 0.02;  // share of records imported again as they are
    double bursts = 1 / 4000.0; // share of people one of whose records is imported 20 to 200 times
    double namesakes = 1;       // how many near namesakes, against the default
    double dobKnown = 0.8;      // share of people whose full date of birth is known
    double scriptsSpoiled = 0.3;  // scripts mode: share of B's records with errors beyond the spelling
};

// The mixes by name: default, heavy-typo, many-copies, many-namesakes, sparse.
std::vector<Mix> allMixes();
// False when there is no mix of that name.
bool mixNamed(const std::string& name, Mix* mix);

// A person of an export: the fields as the person would write them.
struct ExportPerson {
    std::string country;      // gb, us, de, ru, gr...
    std::string first, last;  // UTF-8, in the country's own script
    int year = 0;             // year of birth
    std::string dob;          // YYYY-MM-DD, or empty where never known
    std::string city;         // in its own script
    int town = -1;            // the index of the city in ExportLists::towns, or -1 for a made town
    std::string email;        // the user part of an e-mail address (ASCII), or empty
    int spelling = 0;         // scripts::Spelling: how the name is usually written in Latin letters
    uint32_t namesakeOf = 0;  // the person (truth) whose near namesake this one is, or 0
};

// One written record of an export.
struct ExportRecord {
    uint32_t id = 0, truth = 0;
    std::string first, last, birthYear, dob, city, emailUser;
    std::string errors;  // what spoiled the record, as "typo;nodob"; empty for a record as the person writes it
};

struct Export {
    std::vector<ExportPerson> people;  // people[truth - 1]
    std::vector<ExportRecord> records;
};

// The labels of the errors column of export, each a kind of trouble of a
// record against its person (the comment of the table in
// people_generator.cpp tells each), and "latin" (the names and town in
// Latin letters), "copy" (the record imported again as it is) and
// "namesake" (the own record of a person made a near namesake of another:
// a name one letter off and the same year of birth).
std::vector<std::string> exportErrorLabels();

// About `records` records of people of fifteen countries: each person
// written once, many spoiled and copied; near namesakes more often as the
// list grows, as a real population holds more of them. Shuffled.
Export makeExport(const ExportLists& lists, uint64_t seed, uint32_t records, const Mix& mix);

// The records as CSV with a header: id,truth,first,last,birth_year,dob,city,email_user,errors.
std::string toExportCsv(const std::vector<ExportRecord>& records);

// For link across scripts: `people` persons of Russia, Greece, Poland and
// Turkey whose names hold letters that ASCII lacks. B has each once in
// Latin letters as a clerk would type them, now and then spoiled further;
// A has four in five of them in their own script and a fifth as many
// people of its own. Both shuffled; the columns of link.
void makeScriptLists(const ExportLists& lists, uint64_t seed, uint32_t people, const Mix& mix,
                     std::vector<PersonRecord>* a, std::vector<PersonRecord>* b);
