// ovrin info: the library as the script host sees it; ovrin --help and
// ovrin help FUNCTION: how to use the command and each function.
#include <cstdio>

#include "command_parts.h"
#include "function_notes.h"
#include "people_command.h"
#include "text.h"

namespace {

std::string typeList(const FunctionRow& row) {
    std::string text;
    for (int i = 0; i < row.paramCount; ++i) {
        int type = row.paramType(i);
        text += (i ? ", " : "") + std::string(type == PARAM_STRING ? "string" : type == PARAM_INTEGER ? "integer" : "type " + std::to_string(type));
    }
    return text.empty() ? "-" : text;
}

// Indents every line of `text`.
std::string indented(const char* text, const char* indent) {
    std::string out = indent;
    for (const char* p = text; *p; ++p) {
        out += *p;
        if (*p == '\n' && p[1]) out += indent;
    }
    return out + "\n";
}

const char kUsage[] =
    "ovrin: the Ovrin name-matching functions from the command line, called through\n"
    "the library's two entry points as a script calls them.\n"
    "\n"
    "Usage:\n"
    "  ovrin FUNCTION ARGUMENT...         call a function once: ovrin soundex Robert 0\n"
    "  ovrin 'FUNCTION(ARGUMENT, ...)'    the same, written as in a script:\n"
    "                                     ovrin 'ovSoundex(\"Robert\", 0)'\n"
    "  ovrin map FUNCTION [INTEGER...] [FILE]\n"
    "                                     the function over every record of FILE\n"
    "                                     (or stdin); INTEGER... are its integer\n"
    "                                     arguments, in order\n"
    "  ovrin group [OPTION...] [FILE]     the records that probably stand for the\n"
    "                                     same person, in groups (or with --confirm\n"
    "                                     the names that share a code)\n"
    "  ovrin link [OPTION...] FILE_A FILE_B\n"
    "                                     for each record of A, the records of B\n"
    "                                     that probably stand for the same person\n"
    "  ovrin info                         the library's description, version and\n"
    "                                     function table\n"
    "  ovrin help FUNCTION|map|group|link a function's parameters, result and\n"
    "                                     example; a command's records and options\n"
    "\n"
    "A FUNCTION is named in any case, with or without its \"ov\": soundex, ovSoundex\n"
    "and OVSOUNDEX are one function. Its arguments follow the function table: a\n"
    "string parameter takes the word as it stands, an integer parameter takes a\n"
    "32-bit integer.\n"
    "\n"
    "map, group and link read one name per line, or the fields of TSV or CSV\n"
    "records, and write every record as it came with new columns; a record whose\n"
    "name cannot be used keeps its place, and a warning with its line number goes\n"
    "to stderr.\n"
    "\n"
    "Options:\n";

const char kUsageEnd[] =
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  the library answered an error, or map, group or link warned about a\n"
    "     record\n"
    "  2  a usage error, an unreadable file, or lost output (a write that failed)\n"
    "\n"
    "Functions (ovrin help FUNCTION tells more):\n";

// What map, group and link do with records, told in each one's help.
const char kRecords[] =
    "Records: one name a line, or TSV or CSV fields. LF, CR LF and a lone CR each\n"
    "end a record (inside CSV quotes they are text), and each output line ends as\n"
    "its record did. Text is UTF-8, or Windows-1252 with --encoding cp1252. Under a\n"
    "header, a record with fewer fields is filled out with empty fields before the\n"
    "new columns and one with more keeps them; each kind is warned about once,\n"
    "with a count.\n";

const char kMapHelp[] =
    "ovrin map FUNCTION [INTEGER...] [FILE]\n"
    "The function over every record of FILE (or stdin), each record written as it\n"
    "came with the result appended as new columns (Double Metaphone as primary and\n"
    "secondary code, Guth match mode 3 as flag and percentage). INTEGER... are the\n"
    "function's integer arguments, in order; the names come from the input, and a\n"
    "function of two names reads two fields.\n"
    "\n"
    "A record whose name is missing, empty or has no Windows-1252 form keeps its\n"
    "place with empty result columns, and a warning with its line number goes to\n"
    "stderr (exit status 1); after the hundredth warning, one line at the end\n"
    "tells how many more there were.\n";

const char kMapExample[] =
    "\n"
    "Example:\n"
    "  $ ovrin map soundex 0 data/sample.txt\n"
    "  Robert\tR163\n"
    "  ...\n";

const char kGroupHelp[] =
    "ovrin group [OPTION...] [FILE]\n"
    "The records of a list that probably stand for the same person, in numbered\n"
    "groups: names spelled differently, mistyped, swapped or written \"Surname,\n"
    "Given\", with other fields (--with: a date of birth, a postcode) for or\n"
    "against each pair.\n"
    "\n"
    "Writes every record that matched another, as it came, with two columns\n"
    "added: the group number and the group's score. Groups come in the order of\n"
    "their first records, records in input order within a group. --all adds the\n"
    "records that stand alone, --pairs writes the matched pairs instead, and\n"
    "--explain tells how each pair was weighed.\n"
    "\n"
    "When matching people, a name with letters that Windows-1252 lacks is spelled\n"
    "in Latin letters (below), and a name field that is missing, empty or\n"
    "unreadable counts as missing; a record without any name stands alone. When\n"
    "grouping by a code, a record whose name is missing, empty or has no\n"
    "Windows-1252 form stands alone. A field that cannot be read is reported on\n"
    "stderr with its line number, and the exit status is then 1; after the\n"
    "hundredth warning, one line at the end tells how many more there were. A\n"
    "summary ends stderr: records read, how many in how many groups, how many\n"
    "alone, the candidate pairs and how many matched.\n"
    "\n"
    "With --confirm, --key or --limit, group gathers look-alike names by a shared\n"
    "code instead (see \"Grouping by a code\" below).\n";

const char kGroupByCode[] =
    "\n"
    "Grouping by a code (--confirm, --key, --limit):\n"
    "The records whose names are probably the same name spelled differently\n"
    "(Meyer, Maier, Mayer, Meier). Two records are candidates when their names\n"
    "share a code; a candidate pair joins when it is confirmed; a group is a\n"
    "connected set of joined records. Every code, distance and verdict is the\n"
    "library's answer. Names that read the same once upper-cased and reduced to\n"
    "the letters A to Z (as ovLevenshtein and ovGuthMatch compare them) and that\n"
    "have the same codes are compared once.\n"
    "\n"
    "Writes every record that has at least one look-alike, as it came, with two\n"
    "columns added: the group number and the key that joined the group. The key\n"
    "is the code that joined the group's first record to its earliest look-alike\n"
    "(the next record of the same name, or the first record joined to it); of two\n"
    "codes they share, the first record's first. A record without a code (123\n"
    "has no Double Metaphone code) stands alone and is reported on stderr.\n"
    "  $ ovrin group --confirm levenshtein:2 data/sample_group.txt\n"
    "  Meyer\t1\tMR\n"
    "  Maier\t1\tMR\n";

const char kGroupExample[] =
    "\n"
    "Example:\n"
    "  $ ovrin group --csv --field given,surname --with dob data/sample_people.csv\n"
    "  id,given,surname,dob,group,score\n"
    "  1,Anna,Smith-Jones,1984-03-07,1,0.989\n"
    "  3,ANNA,Smith Jones,1984-07-03,1,0.989\n"
    "  2,Peter,O'Brien,1950-11-23,2,0.982\n"
    "  4,Brien,Peter,1950-11-23,2,0.982\n"
    "  ...\n";

const char kLinkHelp[] =
    "ovrin link [OPTION...] FILE_A FILE_B\n"
    "For every record of list A, the records of list B that probably stand for\n"
    "the same person, weighed as ovrin group weighs a pair (the same --field,\n"
    "--with and --threshold; --field-b names B's name fields where they differ).\n"
    "\n"
    "One line per pair, the records of A in input order: the record of A and the\n"
    "record of B as they came, their line numbers (line_a, line_b), the pair's\n"
    "score (its probability of being one person) and weight. --best keeps each\n"
    "A record's best pair, --one-to-one also takes each B record once, --all\n"
    "adds A's records without a match, --explain tells how each pair was weighed.\n"
    "\n"
    "One of the files may be - (stdin). Names are read as ovrin group reads them\n"
    "(when matching people, in Latin letters); records without a usable name take\n"
    "no part, and a field that cannot be read is reported on stderr with its line\n"
    "number (exit status 1).\n"
    "A summary ends stderr: records read in each file, records of A matched, the\n"
    "candidate pairs, pairs written.\n"
    "\n"
    "With --confirm, --key or --limit, link pairs look-alike names by a shared\n"
    "code instead (see \"Pairing by a code\" below).\n";

const char kLinkByCode[] =
    "\n"
    "Pairing by a code (--confirm, --key, --limit):\n"
    "A pair is a record of A and a record of B whose names share a code and are\n"
    "confirmed, as ovrin group --confirm finds them. One line per pair, the\n"
    "records of A in input order and for each the records of B in input order:\n"
    "the record of A and the record of B as they came, their line numbers, the\n"
    "key (the first code of A's name that B's shares), the Guth percentage\n"
    "(ovGuthMatch mode 2, A's name first) and the Levenshtein distance; --best\n"
    "keeps the highest percentage, then the lowest distance, then the first in B.\n"
    "  $ ovrin link --best --confirm levenshtein:2 data/sample_group_b.txt data/sample_group.txt\n"
    "  Meier\tMeier\t1\t10\tMR\t100\t0\n"
    "  Smythe\tSmyth\t2\t11\tSM0\t90\t1\n";

const char kLinkExample[] =
    "\n"
    "Example:\n"
    "  $ ovrin link --csv --best --explain --field given,surname --with dob data/sample_people_b.csv data/sample_people.csv\n"
    "  a.id,a.given,a.surname,a.dob,b.id,b.given,b.surname,b.dob,line_a,line_b,score,weight,explain\n"
    "  101,Peter,OBrien,1950-11-23,2,Peter,O'Brien,1950-11-23,2,3,0.999,11.7,\"given exact +4.5, surname exact +4.2, dob exact +3.1 = 11.7\"\n"
    "  102,Tom,Wright,1988-02-02,10,Thomas,Wright,1988-02-02,3,11,0.970,6.6,\"given alike -0.8, surname exact +4.2, dob exact +3.2 (rare +0.1) = 6.6\"\n"
    "  ...\n";

}  // namespace

std::string commandHelp(const std::string& command) {
    unsigned bit = commandOf(command);
    const char* head = bit == COMMAND_MAP ? kMapHelp : bit == COMMAND_GROUP ? kGroupHelp : kLinkHelp;
    const char* example = bit == COMMAND_MAP ? kMapExample : bit == COMMAND_GROUP ? kGroupExample : kLinkExample;
    std::string people = bit == COMMAND_MAP ? "" : kPersonHelp;
    const char* byCode = bit == COMMAND_MAP ? "" : bit == COMMAND_GROUP ? kGroupByCode : kLinkByCode;
    return std::string(head) + "\n" + kRecords + "\nOptions:\n" + optionHelp(bit) + people + byCode + example;
}

int runInfo(CommandContext& context) {
    LibraryFacts facts = readLibraryFacts(context.library);
    std::string text = context.toConsole(facts.description) + "\n";
    text += "version " + std::to_string(facts.version) + ", interface level " + std::to_string(facts.level) + ", " +
            std::to_string(facts.functionCount) + " functions\n\n";
    text += "number  name                 parameters                call\n";
    for (const FunctionRow& row : context.table) {
        char number[16];
        std::snprintf(number, sizeof number, "%6d", static_cast<int>(row.id));
        text += std::string(number) + "  " + padded(row.name, 20) + " " + padded(typeList(row), 25) + " " +
                callFormText(row) + "\n";
    }
    context.print(text);
    return EXIT_DONE;
}

int runHelp(CommandContext& context, const std::string& function) {
    if (function == "map" || function == "group" || function == "link") {
        context.print(commandHelp(function));
        return EXIT_DONE;
    }
    if (function.empty()) {
        std::string text = std::string(kUsage) + optionHelp(COMMAND_ANY) + kUsageEnd;
        for (const FunctionRow& row : context.table) {
            const FunctionNote* note = findNote(row.name);
            text += wrapped("  " + padded(callFormText(row), 38) + " ", note ? note->summary : typeList(row), 41);
        }
        context.print(text);
        return EXIT_DONE;
    }
    const FunctionRow* row = context.findFunction(function);
    if (!row) return context.usage("no function named \"" + function + "\"; ovrin info lists them");
    const FunctionNote* note = findNote(row->name);
    std::string text = callFormText(*row) + ", function number " + std::to_string(row->id) + "\n";
    if (note) text += wrapped("", note->summary, 0);
    text += "\nParameters: " + typeList(*row) + "\n";
    if (note) text += indented(note->details, "  ");
    text += "\nReturns:\n";
    text += indented(note ? note->returns : "what the library answers", "  ");
    text += "\nUsage:\n  " + commandFormText(*row) + "\n  ovrin '" + callFormText(*row) + "'\n";
    bool mappable = false;
    for (int i = 0; i < row->paramCount; ++i) mappable = mappable || row->paramType(i) == PARAM_STRING;
    if (mappable) {
        std::string mapLine = "  ovrin map " + commandWord(*row);
        for (int i = 0; i < row->paramCount; ++i) {
            if (row->paramType(i) == PARAM_STRING) continue;
            mapLine += " " + asciiUpper(parameterName(row->name, i, false));
        }
        text += mapLine + " [FILE]\n";
    }
    if (note) text += "\nExample:\n  $ ovrin " + commandWord(*row) + " " + note->example + "\n  " + note->exampleShows + "\n";
    context.print(text);
    return EXIT_DONE;
}
