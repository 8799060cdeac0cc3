// A plain edit distance, for the tests to hold the library's Levenshtein
// against.
#pragma once

#include <string>

// The Levenshtein distance of `a` and `b`, byte by byte.
int referenceDistance(const std::string& a, const std::string& b);
