// A person's name as the matching compares it: given names and surnames as
// lists of clean words in Windows-1252 upper case.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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
