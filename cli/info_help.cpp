// ovrin info: the library as the script host sees it; ovrin --help and
// ovrin help FUNCTION: how to use the command and each function.
#include <cstdio>

#include "command_parts.h"
#include "function_notes.h"
#include "person_command.h"
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
    "  ovrin group [OPTION...] [FILE]     the records whose names are probably the\n"
    "                                     same name spelled differently, in groups\n"
    "  ovrin link [OPTION...] FILE_A FILE_B\n"
    "                                     for each record of A, the records of B\n"
    "                                     whose names are probably the same name\n"
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
    "Exit status: 0 done; 1 the library answered an error, or map, group or link\n"
    "warned about a record; 2 a usage error, an unreadable file or lost output.\n"
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
    "stderr (exit status 1).\n";

const char kMapExample[] =
    "\n"
    "Example:\n"
    "  $ ovrin map soundex 0 data/sample.txt\n"
    "  Robert\tR163\n"
    "  ...\n";

const char kGroupHelp[] =
    "ovrin group [OPTION...] [FILE]\n"
    "The records of a list whose names are probably the same name spelled\n"
    "differently (Meyer, Maier, Mayer, Meier), in numbered groups.\n"
    "\n"
    "Two records are candidates when their names share a code; a candidate pair\n"
    "joins when it is confirmed; a group is a connected set of joined records.\n"
    "Every code, distance and verdict is the library's answer. Names that read the\n"
    "same once upper-cased and reduced to the letters A to Z (as ovLevenshtein and\n"
    "ovGuthMatch compare them) and that have the same codes are compared once.\n"
    "\n"
    "Writes every record that has at least one look-alike, as it came, with two\n"
    "columns added: the group number and the key that joined the group. Groups\n"
    "come in the order of their first records, records in input order within a\n"
    "group. The key is the code that joined the group's first record to its\n"
    "earliest look-alike (the next record of the same name, or the first record\n"
    "joined to it); of two codes they share, the first record's first.\n"
    "\n"
    "A record whose name is missing, empty or has no Windows-1252 form, or has no\n"
    "code (123 has no Double Metaphone code), stands alone and is reported on\n"
    "stderr with its line number; the exit status is then 1. A summary ends\n"
    "stderr: records read, how many in how many groups, how many alone.\n";

const char kGroupExample[] =
    "\n"
    "Example:\n"
    "  $ ovrin group data/sample_group.txt\n"
    "  Meyer\t1\tMR\n"
    "  Maier\t1\tMR\n"
    "  ...\n";

const char kLinkHelp[] =
    "ovrin link [OPTION...] FILE_A FILE_B\n"
    "For every record of list A, the records of list B whose names are probably\n"
    "the same name spelled differently.\n"
    "\n"
    "A pair is a record of A and a record of B whose names share a code and are\n"
    "confirmed, as ovrin group finds them (the same --key, --limit and --confirm).\n"
    "One line per pair, the records of A in input order and for each the records\n"
    "of B in input order: the record of A and the record of B as they came, their\n"
    "line numbers, the key (the first code of A's name that B's shares), the Guth\n"
    "percentage (ovGuthMatch mode 2, A's name first) and the Levenshtein distance.\n"
    "\n"
    "One of the files may be - (stdin). Records without a usable name or code take\n"
    "no part and are reported on stderr with their line numbers (exit status 1).\n"
    "A summary ends stderr: records read in each file, records of A matched, pairs\n"
    "written.\n";

const char kLinkExample[] =
    "\n"
    "Example:\n"
    "  $ ovrin link --best data/sample_group_b.txt data/sample_group.txt\n"
    "  Meier\tMeier\t1\t10\tMR\t100\t0\n"
    "  Smythe\tSmyth\t2\t11\tSM0\t90\t1\n"
    "  ...\n";

}  // namespace

std::string commandHelp(const std::string& command) {
    unsigned bit = commandOf(command);
    const char* head = bit == COMMAND_MAP ? kMapHelp : bit == COMMAND_GROUP ? kGroupHelp : kLinkHelp;
    const char* example = bit == COMMAND_MAP ? kMapExample : bit == COMMAND_GROUP ? kGroupExample : kLinkExample;
    std::string people = bit == COMMAND_MAP ? "" : kPersonHelp;
    return std::string(head) + "\n" + kRecords + "\nOptions:\n" + optionHelp(bit) + people + example;
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
