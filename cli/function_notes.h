// What the command says about each script function beyond its row of the
// function table: its name as scripts write it, its parameters' names, help
// texts with an example, and the columns its result fills in `map`. A
// function without a note still works, with plain texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FunctionNote {
    const char* name;          // as scripts write it: ovSoundex
    const char* params[4];     // names of the parameters, in order
    const char* summary;       // what it answers, one line
    const char* details;       // the parameters explained, lines of "name  text"
    const char* returns;       // the result
    const char* example;       // the arguments of an example call
    const char* exampleShows;  // what that call prints
    const char* columns[2];    // map's result columns; two when the result is split at its TAB
};

// The note of a function by its name in the table (lower case); null if none.
const FunctionNote* findNote(const std::string& tableName);

// The name to show: the note's, else the table's.
std::string displayName(const std::string& tableName);

// The name of parameter i: the note's, else "string1", "integer2" and so on.
std::string parameterName(const std::string& tableName, int i, bool isString);

// The columns that map writes for one result, given the function's integer
// arguments in order: Double Metaphone's primary and secondary code, Guth
// match's flag and percentage in mode 3, one column otherwise.
std::vector<std::string> resultColumns(const std::string& tableName, const std::vector<int32_t>& integers);
