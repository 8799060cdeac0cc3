// The first stage of the matching of people: a record's name as the
// matching compares it (given names and surnames as lists of clean words
// in Windows-1252 upper case) and its --with values in their plain form.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "value_kinds.h"
#include "../records/large_vector.h"

struct PersonName {
    std::vector<std::string> given;
    std::vector<std::string> surname;
    bool empty() const { return given.empty() && surname.empty(); }
};

// The clean words of a text: upper case (Windows-1252 letters too), split
// at blanks, hyphens and commas; dots, quotes and other punctuation around
// or inside a word dropped, and apostrophes too, so that O'Brien and OBrien
// are one word and Smith-Jones and Smith Jones two each.
std::vector<std::string> cleanWords(const char* text, size_t size);
// The same, added after `words`.
void appendCleanWords(const char* text, size_t size, std::vector<std::string>* words);

// The name of one record from the texts of its name fields, in order. With
// one field, "Surname, Given" (a comma) puts the words before the comma
// last; then the first word is the given name and the others the surname.
// A single word is a surname. With several fields, the last holds the
// surname and the others the given names.
PersonName personName(const std::vector<std::string>& fields);

// Words that begin surnames and say little of their own ("van", "de"):
// they are not compared or used as keys by themselves.
bool isParticle(const std::string& word);

// The form of a --with field's value that is compared: letters and digits
// only, upper case ("1984-03-07" and "1984 03 07" both "19840307").
std::string plainValue(const char* text, size_t size);

// The records of a list as the matching takes them, in columns: per
// record, its name and the values of its --with fields (each record the
// same number; an empty value is missing), each in the one form of its
// field's kind (`kinds`, per field) once prepareValues has read them.
struct PeopleColumns {
    LargeVector<PersonName> names;
    LargeVector<std::vector<std::string>> values;
    std::vector<ValueKind> kinds;
};

// Reads the --with values of `lists` as written into the one form of
// their fields' kinds, a field of all the lists at once (so that link's
// two lists read a date alike): `columns` holds per field its name and
// its kind (GUESS to have it guessed), and gets what was guessed and the
// values that did not fit, which become missing.
void prepareValues(const std::vector<PeopleColumns*>& lists, std::vector<ValueColumn>* columns);
