// The library's answers that the matching asks for, through the entry
// points as a script host calls them: the codes of a name, the name as
// ovLevenshtein leaves it, a distance, a Guth verdict or percentage. Each
// call gets a fresh copy of its names, as the library rewrites some
// arguments in place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host_calls.h"

// The code that puts names side by side.
enum class KeyKind { DMETAPHONE, METAPHONE, SOUNDEX, SOUNDEX5, PHONEX };

// The functions the matching calls, by their numbers in the function
// table, and the encoder's name for messages ("ovDoubleMetaphone").
struct MatchFunctions {
    int32_t encoder = 0, levenshtein = 0, guth = 0;
    std::string encoderName;
};

// The functions the matching calls, found in the function table by their
// names there: the encoder of `key`, ovLevenshtein and ovGuthMatch. False
// with `problem` set when one is missing or takes other parameters;
// `showName` gives a table name ("ovguthmatch") as messages show it.
bool findMatchFunctions(const std::vector<FunctionRow>& table, KeyKind key,
                        std::string (*showName)(const std::string& tableName), MatchFunctions* functions,
                        std::string* problem);

class MatchCalls {
public:
    // `limit`: the code length of Double Metaphone and Metaphone.
    void open(const Library& library, const MatchFunctions& functions, KeyKind key, int32_t limit);
    // The codes of a name, each in its own string (empty when absent).
    bool codes(const char* name, size_t size, std::string* first, std::string* second);
    // The name as ovLevenshtein leaves it: upper-cased and reduced to A to Z
    // (unchanged when the library does not reduce it: longer than 255 bytes).
    bool reduce(const char* name, size_t size, std::string* form, bool* reduced);
    bool levenshtein(const char* a, size_t aSize, const char* b, size_t bSize, int32_t* distance);
    bool guth(const char* a, size_t aSize, const char* b, size_t bSize, int32_t mode, int32_t* value);
    // The error answer that stopped the matching: "ovLevenshtein answered
    // TEXT", the library's text as it gave it (Windows-1252).
    const std::string& error() const { return error_; }

private:
    bool call(int32_t number, const std::string& function, int argCount);
    void setName(int i, std::vector<char>& buffer, const char* name, size_t size);

    const Library* library_ = nullptr;
    MatchFunctions functions_;
    KeyKind key_ = KeyKind::DMETAPHONE;
    int32_t limit_ = 4;
    std::vector<char> first_, second_;
    HostValue args_[3];
    CallOutcome outcome_;
    std::string error_;
};
