// Plain versions of Metaphone and Phonex, for the tests to hold the library
// against: written from the rules, sharing nothing with the shipped code.
#pragma once

#include <string>

// The Metaphone code of `text`, at most `limit` characters.
std::string referenceMetaphone(const std::string& text, int limit);

// The Phonex code of `text`: a first letter and three digits.
std::string referencePhonex(const std::string& text);
