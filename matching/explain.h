// The words of --explain: each comparison of a pair with its level and
// weight, and the fitted weights; the numbers as the output writes them.
#pragma once

#include <string>
#include <vector>

#include "candidates.h"
#include "model.h"

// `value` with `places` decimals ("0.883").
std::string decimals(double value, int places);

// The comparisons' names for --explain: "given", "surname", then the
// --with fields as written.
std::vector<std::string> comparisonNames(const std::vector<std::string>& withFields);

// A probability in three significant digits ("0.880", "0.0312").
std::string share(double p);

// "given exact +6.2, surname close +3.9 (crosswise), dob exact +9.1 (rare
// +1.4), city missing 0 = 19.2"
std::string explainPair(const FsModel& model, const Candidate& pair, const std::vector<std::string>& names);

// The fitted weights, one line: "weights log2(m/u) (...): given exact +6.6
// (m 0.8, u 0.0081) close ...; prior 0.000010"
std::string weightsText(const FsModel& model, const std::vector<std::string>& names);
