#include "function_notes.h"

#include "../resources/version.h"
#include "text.h"

namespace {

const FunctionNote kNotes[] = {
    {"ovExtenderInfo", {"mode"},
     "Facts about the library.",
     "mode  0: the version number; 1: the number of script functions; 2: the number\n"
     "      of functions of entry kind 3; any other mode is error 101",
     "an integer",
     "0", OV_FILE_VERSION_TEXT,
     {"extenderinfo"}},
    {"ovSoundex", {"name", "mode"},
     "The Soundex code of a name: its first character, then digits for the consonants.",
     "name  the name; blanks and tabs around it are ignored, and its first character\n"
     "      stays as it is\n"
     "mode  0 (or less): three digits 1 to 6; 1 (or more): four digits 1 to 9, with\n"
     "      a finer split of the consonants",
     "a string of 4 characters (mode 0) or 5 (mode 1), filled up with 0; empty for\n"
     "an empty name",
     "Robert 0", "R163",
     {"soundex"}},
    {"ovMetaphone", {"name", "maxlength"},
     "The Metaphone code of a name: a letter for each sound, 0 for TH.",
     "name       the name; only its letters and digits count\n"
     "maxlength  the longest code wanted; below 4 counts as 4",
     "a string of at most maxlength characters",
     "Thomas 4", "0MS",
     {"metaphone"}},
    {"ovPhonex", {"name"},
     "The Phonex code of a name: a first letter and three digits.",
     "name  the name; trailing S's are dropped and the first letter is simplified",
     "a string of 4 characters, filled up with 0; empty for a name of S's or blanks",
     "Robert", "R130",
     {"phonex"}},
    {"ovGuthMatch", {"name1", "name2", "mode"},
     "Whether two names are forms of the same name, by the Guth method.",
     "name1, name2  the names; only their letters A to Z are compared\n"
     "mode          1 (or less): the match flag; 2: the similarity percentage;\n"
     "              3 (or more): both, separated by a TAB",
     "an integer (1 or 0, or 0 to 100), or in mode 3 the text \"flag TAB percentage\"",
     "Smith Smyth 3", "1\t80",
     {"guth_match", "guth_percent"}},
    {"ovLevenshtein", {"name1", "name2"},
     "The edit distance of two names: the fewest letters inserted, deleted or replaced.",
     "name1, name2  the names; only their letters A to Z are compared, in upper case",
     "an integer; -1 when a name is longer than 255 characters",
     "Robert Rupert", "2",
     {"levenshtein"}},
    {"ovDoubleMetaphone", {"name", "maxlength"},
     "The primary and the secondary Double Metaphone code of a name.",
     "name       the name\n"
     "maxlength  the code length at which encoding stops, 4 to 255; below 1 gives\n"
     "           the empty string",
     "the text \"primary TAB secondary\"; encoding stops once both codes reach\n"
     "maxlength, so a code may end a little longer",
     "Smith 4", "SM0\tXMT",
     {"dm_primary", "dm_secondary"}},
    {"ovIsAbbrev", {"word", "abbreviation", "length"},
     "Whether a string abbreviates a word: the bytes compared must agree, case counts.",
     "word          the word\n"
     "abbreviation  the abbreviation\n"
     "length        0 (or less): the abbreviation must begin the word; above 0: the\n"
     "              first length bytes of both must agree",
     "1 or 0",
     "Robert Rob 0", "1",
     {"isabbrev"}},
    {"ovIsConsonant", {"name", "position"},
     "Whether the character at a position is a consonant, B to Z without the vowels and Y.",
     "name      the name\n"
     "position  the position, counted from 1",
     "1 or 0; 0 for a position outside the name",
     "Robert 1", "1",
     {"isconsonant"}},
    {"ovIsVowel", {"name", "position", "yIsVowel"},
     "Whether the character at a position is a vowel, A E I O U (and Y on request).",
     "name      the name\n"
     "position  the position, counted from 1\n"
     "yIsVowel  1 (or more): Y counts as a vowel; 0 (or less): it does not",
     "1 or 0; 0 for a position outside the name",
     "Yvonne 1 1", "1",
     {"isvowel"}},
};

}  // namespace

const FunctionNote* findNote(const std::string& tableName) {
    for (const FunctionNote& note : kNotes)
        if (asciiLower(note.name) == tableName) return &note;
    return nullptr;
}

std::string displayName(const std::string& tableName) {
    const FunctionNote* note = findNote(tableName);
    return note ? note->name : tableName;
}

std::string parameterName(const std::string& tableName, int i, bool isString) {
    const FunctionNote* note = findNote(tableName);
    if (note && i < 4 && note->params[i]) return note->params[i];
    return (isString ? "string" : "integer") + std::to_string(i + 1);
}

std::vector<std::string> resultColumns(const std::string& tableName, const std::vector<int32_t>& integers) {
    const FunctionNote* note = findNote(tableName);
    if (!note) return {tableName.compare(0, 2, "ov") == 0 ? tableName.substr(2) : tableName};
    if (tableName == "ovguthmatch" && !integers.empty()) {
        // Modes below 1 act as 1, above 3 as 3; only mode 3 answers both.
        if (integers[0] <= 1) return {note->columns[0]};
        if (integers[0] == 2) return {note->columns[1]};
        return {note->columns[0], note->columns[1]};
    }
    if (note->columns[1]) return {note->columns[0], note->columns[1]};
    return {note->columns[0]};
}
