// The kinds of --with fields, how their values are read into one form
// each, and how two values of a kind agree. A date written 7/3/1984 and
// one written 1984-03-07 are the same date only once the column's order
// of day and month is known, so a column is read whole: its kind and its
// dates' order guessed from its values unless given ("dob:date").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "levels.h"

enum class ValueKind : uint8_t {
    GUESS,   // not given: guessed from the column's values
    TEXT,    // equal; close by the library's distance and Guth; different
    DATE,    // equal; day and month swapped; a digit changed or two neighbours swapped; same year and month; different
    NUMBER,  // equal; one apart; different
    CODE,    // equal; one edit or two neighbours swapped; different
};
const char* kindName(ValueKind kind);
// "text", "date", "number", "code"; false for anything else.
bool parseKind(std::string_view text, ValueKind* kind);

// The order of day and month in dates written with numbers alone, when
// the year does not come first.
enum class DateOrder : uint8_t { DAY_FIRST, MONTH_FIRST };

// A --with column as the matching reads it.
struct ValueColumn {
    std::string name;  // as given to --with, without its kind
    ValueKind kind = ValueKind::GUESS;
    bool guessed = false;
    DateOrder order = DateOrder::DAY_FIRST;
    bool orderGuessed = false;  // dates: no value told the order (a day above 12)
    uint64_t yearLast = 0;      // values of the sample written with numbers, the year last
    uint64_t present = 0;       // records with a value
    uint64_t unfit = 0;         // values that are not of the kind: taken as missing
    std::string firstUnfit;     // the first of them, as written
    // The part of the name the field repeats ("surname", "given names",
    // "name") in nine records in ten or more: it then tells nothing the
    // name does not, and is left out (all its values missing), as two
    // comparisons of one fact would count it twice. Empty otherwise.
    std::string repeats;
};

// "dob:date" as the column "dob" of kind DATE; "dob" as GUESS, and so is
// "a:b" when b names no kind (a header's name may hold a colon).
void splitWithField(const std::string& field, std::string* name, ValueKind* kind);

// The one form of a value of a kind, empty when it is not of the kind:
// a date as YYYYMMDD (ISO, day and month in `order`, names of months in
// English, French, German, Spanish or Italian, their first three letters
// too; two-digit years in 1930 to 2029), a number without leading zeros,
// a code as its letters and digits in upper case, text as its words in
// upper case with Saint, Mount and Fort written out.
std::string valueForm(ValueKind kind, DateOrder order, std::string_view raw);

// Guesses the kind of a column and its dates' order from its values as
// written (empty ones left out): a date where nine in ten read as one, a
// number where they are whole numbers of up to four digits (years, ages),
// a code where they are single words holding a digit (postcodes, ids),
// else text.
void guessColumn(const std::vector<std::string_view>& values, ValueColumn* column);

// Whether two values of a kind can land on a level: dates on every one,
// the others on EXACT, CLOSE and DIFFERENT (and MISSING).
bool kindHasLevel(ValueKind kind, Level level);

// The level of two values of a kind in their one form, both present and
// different. Text is left to the caller (the library's distance), and
// comes back CLOSE: the most it can be.
Level valueLevel(ValueKind kind, std::string_view a, std::string_view b);
