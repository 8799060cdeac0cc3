// ovrin info: the library as the script host sees it; ovrin --help and
// ovrin help FUNCTION: how to use the command and each function.
#include <cstdio>

#include "command_parts.h"
#include "function_notes.h"

namespace {

std::string padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string typeList(const FunctionRow& row) {
    std::string text;
    for (int i = 0; i < row.paramCount; ++i) {
        int type = row.paramType(i);
        text += (i ? ", " : "") + std::string(type == PARAM_STRING ? "string" : type == PARAM_INTEGER ? "integer" : "type " + std::to_string(type));
    }
    return text.empty() ? "-" : text;
}

// `lead`, then `text` filled into lines of at most 80 characters, the
// following lines indented by `indent`.
std::string wrapped(const std::string& lead, const std::string& text, size_t indent) {
    std::string out = lead;
    size_t column = lead.size();
    size_t at = 0;
    while (at < text.size()) {
        size_t space = text.find(' ', at);
        std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
        at = space == std::string::npos ? text.size() : space + 1;
        if (out.size() > lead.size()) {
            if (column + 1 + word.size() > 80) {
                out += "\n" + std::string(indent, ' ');
                column = indent;
            } else {
                out += ' ';
                ++column;
            }
        }
        out += word;
        column += word.size();
    }
    return out + "\n";
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
    "  ovrin info                         the library's description, version and\n"
    "                                     function table\n"
    "  ovrin help FUNCTION                a function's parameters, result and example\n"
    "\n"
    "A FUNCTION is named in any case, with or without its \"ov\": soundex, ovSoundex\n"
    "and OVSOUNDEX are one function. Its arguments follow the function table: a\n"
    "string parameter takes the word as it stands, an integer parameter takes a\n"
    "32-bit integer.\n"
    "\n"
    "map reads one name per line, or the fields of TSV or CSV records, and writes\n"
    "every record as it came with the result appended as new columns (Double\n"
    "Metaphone as primary and secondary code, Guth match mode 3 as flag and\n"
    "percentage). A function of two names reads two fields. A record whose name is\n"
    "missing, empty or has no Windows-1252 form keeps its place with an empty\n"
    "result, and a warning with its line number goes to stderr.\n"
    "  --field N|NAME[,N|NAME]  the fields that hold the names: numbers from 1, or\n"
    "                           names from the header (default 1, or 1,2)\n"
    "  --header                 the first record is a header; it gets the names of\n"
    "                           the new columns (implied by a field name)\n"
    "  --csv, --tsv             CSV records, or TAB-separated fields (the default)\n"
    "  --progress, --no-progress\n"
    "                           a progress bar on stderr (by default when stderr\n"
    "                           is a terminal and FILE a regular file)\n"
    "\n"
    "Options:\n"
    "  --encoding utf-8|cp1252  text is UTF-8, converted to and from Windows-1252\n"
    "                           around each call (the default); or the bytes pass\n"
    "                           as they are, in the library's own code page\n"
    "  -h, --help               this text; after a function, that function's help\n"
    "\n"
    "Exit status: 0 done; 1 the library answered an error, or map warned about a\n"
    "record; 2 a usage error, an unreadable file or a failed write.\n"
    "\n"
    "Functions (ovrin help FUNCTION tells more):\n";

const char kGroupHelp[] = "group\n";
const char kLinkHelp[] = "link\n";

}  // namespace

std::string commandHelp(const std::string& command) {
    return command == "group" ? kGroupHelp : kLinkHelp;
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
    if (function == "group" || function == "link") {
        context.print(commandHelp(function));
        return EXIT_DONE;
    }
    if (function.empty()) {
        std::string text = kUsage;
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
            std::string name = parameterName(row->name, i, false);
            for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            mapLine += " " + name;
        }
        text += mapLine + " [FILE]\n";
    }
    if (note) text += "\nExample:\n  $ ovrin " + commandWord(*row) + " " + note->example + "\n  " + note->exampleShows + "\n";
    context.print(text);
    return EXIT_DONE;
}
