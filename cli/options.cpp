#include "options.h"

#include "text.h"
#include "../matching/by_code.h"
#include "../matching/engine.h"

namespace {

// A row of the table, whose rows are in the order the help lists them. An
// option whose help differs from command to command has one row per wording.
struct OptionRow {
    const char* name;   // "--field"
    const char* alias;  // a short form ("-h"), or null
    unsigned commands;  // the commands that take it
    const char* value;  // the value as the help shows it ("N|NAME"), or null: it takes none
    const char* needs;  // what the message says is missing without a value
    // Sets the option; false with `problem` set when the value is wrong.
    bool (*apply)(Options& options, const std::string& value, std::string* problem);
    std::string help;  // one paragraph
};

bool setEncoding(Options& o, const std::string& value, std::string* problem) {
    std::string e = asciiLower(value);
    if (e == "utf-8" || e == "utf8") o.cp1252 = false;
    else if (e == "cp1252" || e == "windows-1252") o.cp1252 = true;
    else *problem = "unknown encoding \"" + value + "\": utf-8 or cp1252";
    return problem->empty();
}

void splitAtCommas(const std::string& value, std::vector<std::string>* to) {
    size_t start = 0;
    for (;;) {
        size_t comma = value.find(',', start);
        to->push_back(value.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos) return;
        start = comma + 1;
    }
}

bool setField(Options& o, const std::string& value, std::string*) { return splitAtCommas(value, &o.fields), true; }
bool setFieldB(Options& o, const std::string& value, std::string*) {
    return splitAtCommas(value, &o.fieldsB), o.person = true;
}
bool setWith(Options& o, const std::string& value, std::string*) { return splitAtCommas(value, &o.with), o.person = true; }
bool setPerson(Options& o, const std::string&, std::string*) { return o.person = true; }
bool setThreshold(Options& o, const std::string& value, std::string*) { return o.threshold = value, o.person = true; }
bool setExplain(Options& o, const std::string&, std::string*) { return o.explain = true, o.person = true; }
bool setOneToOne(Options& o, const std::string&, std::string*) { return o.oneToOne = true, o.person = true; }
bool setPairs(Options& o, const std::string&, std::string*) { return o.pairs = true, o.person = true; }

// The values of --key, --limit and --confirm are read by the matching.
bool setKey(Options& o, const std::string& value, std::string*) { return o.key = value, true; }
bool setLimit(Options& o, const std::string& value, std::string*) { return o.limit = value, true; }
bool setConfirm(Options& o, const std::string& value, std::string*) { return o.confirm = value, true; }
bool setCsv(Options& o, const std::string&, std::string*) { return o.format = TextFormat::CSV, true; }
bool setTsv(Options& o, const std::string&, std::string*) { return o.format = TextFormat::TSV, true; }
bool setHeader(Options& o, const std::string&, std::string*) { return o.header = true; }
bool setProgress(Options& o, const std::string&, std::string*) { return o.progress = 1, true; }
bool setNoProgress(Options& o, const std::string&, std::string*) { return o.progress = 0, true; }
bool setAll(Options& o, const std::string&, std::string*) { return o.all = true; }
bool setJson(Options& o, const std::string&, std::string*) { return o.json = true; }
bool setBest(Options& o, const std::string&, std::string*) { return o.best = true; }
// A column named by its header implies a header, as --field's names do.
bool setTruth(Options& o, const std::string& value, std::string* problem) {
    if (value.empty()) *problem = "--truth needs a field number or a header name";
    if (value.find_first_not_of("0123456789") != std::string::npos) o.header = true;
    o.truth = value;
    return problem->empty();
}
bool setHelp(Options& o, const std::string&, std::string*) { return o.help = true; }
// The table itself is read with the other settings of people (readSettings).
bool setNicknames(Options& o, const std::string& value, std::string* problem) {
    if (value.empty()) *problem = "--nicknames needs a file name or none";
    o.nicknames = value;
    o.person = true;
    return problem->empty();
}
bool setReport(Options& o, const std::string& value, std::string* problem) {
    if (value.empty()) *problem = "--report needs a file name";
    o.report = value;
    o.person = true;
    return problem->empty();
}

const unsigned RECORDS = COMMAND_MAP | COMMAND_GROUP | COMMAND_LINK;
const unsigned MATCHING = COMMAND_GROUP | COMMAND_LINK;

const std::vector<OptionRow> kOptions = {
    // name          alias  commands       value                 needs / apply / help
    {"--field", nullptr, COMMAND_MAP, "N|NAME[,N|NAME]", "a field number or a header name", setField,
     "the fields that hold the names: numbers from 1, or names from the header (default 1, or 1,2 for a "
     "function of two names)"},
    {"--field", nullptr, COMMAND_GROUP, "N|NAME[,N|NAME]", "a field number or a header name", setField,
     "the fields whose words make the name, given names first and the surname last: numbers from 1, or names "
     "from the header (default 1); by a code, the one field that holds the name"},
    {"--field", nullptr, COMMAND_LINK, "N|NAME[,N|NAME]", "a field number or a header name", setField,
     "the fields whose words make the name in both files, as for group (default 1); by a code, A's field and "
     "B's (one serves both)"},
    {"--header", nullptr, COMMAND_MAP | COMMAND_GROUP, nullptr, nullptr, setHeader,
     "the first record is a header (implied by a field name); it gets the names of the new columns, and every "
     "line is filled out to its width"},
    {"--header", nullptr, COMMAND_LINK, nullptr, nullptr, setHeader,
     "the first records of both files are headers and make the output's header; a column name that both have "
     "becomes a.NAME and b.NAME"},
    {"--csv", nullptr, RECORDS, nullptr, nullptr, setCsv,
     "CSV records: fields split at commas, in quotes when they hold commas, quotes or line ends"},
    {"--tsv", nullptr, RECORDS, nullptr, nullptr, setTsv, "fields split at TABs (the default)"},
    {"--progress", nullptr, COMMAND_MAP, nullptr, nullptr, setProgress,
     "a progress bar on stderr (by default when stderr is a terminal and FILE a regular file)"},
    {"--no-progress", nullptr, COMMAND_MAP, nullptr, nullptr, setNoProgress, "no progress bar"},
    {"--key", nullptr, MATCHING, "dmetaphone|metaphone|soundex|soundex5|phonex",
     "a value: dmetaphone, metaphone, soundex, soundex5 or phonex", setKey,
     "group by a code, this one (default dmetaphone): ovDoubleMetaphone, whose primary and secondary code both count; "
     "ovMetaphone; ovSoundex mode 0 (soundex) or 1 (soundex5); ovPhonex"},
    {"--limit", nullptr, MATCHING, "N", "a value: a code length", setLimit,
     "group by a code, with this maxlength of dmetaphone and metaphone (default " +
         std::to_string(MatchSettings().limit) + ")"},
    {"--confirm", nullptr, MATCHING, "levenshtein:K|guth|none", "a value: levenshtein:K, guth or none", setConfirm,
     "group by a code: a candidate pair joins when ovLevenshtein is at most K (levenshtein:" +
         std::to_string(MatchSettings().maxDistance) +
         " where only --key or --limit asks for the code); when ovGuthMatch (mode 1) "
     "says the names match, asked both ways round (stricter: it keeps Meyer and Maier apart); or always"},
    {"--best", nullptr, COMMAND_LINK, nullptr, nullptr, setBest,
     "only the best match of each record of A: the highest score, then the first in B (by a code: the highest "
     "percentage, then the lowest distance, then the first in B)"},
    {"--all", nullptr, COMMAND_GROUP, nullptr, nullptr, setAll,
     "also write the records that stand alone, with the added columns left empty"},
    {"--all", nullptr, COMMAND_LINK, nullptr, nullptr, setAll,
     "also write the records of A without a match: as many empty fields as B's records have, and the "
     "columns of the pair left empty"},
    {"--json", nullptr, COMMAND_GROUP, nullptr, nullptr, setJson,
     "one JSON object a line for each group, in UTF-8: {\"group\":1,\"score\":\"0.940\",\"records\":[{\"line\":2,"
     "\"name\":\"Anna Smith-Jones\",\"record\":\"1,Anna,...\"},...]}; by a code \"key\" in place of "
     "\"score\"; a record alone has group and score (or key) null"},
    {"--json", nullptr, COMMAND_LINK, nullptr, nullptr, setJson,
     "one JSON object a line for each pair, in UTF-8: {\"a\":{\"line\":2,\"name\":\"Peter OBrien\",\"record\":"
     "\"101,...\"},\"b\":{...},\"score\":\"0.998\",\"weight\":\"12.5\"}; by a code \"key\", "
     "\"guth_percent\" and \"levenshtein\" in place of score and weight"},
    {"--person", nullptr, MATCHING, nullptr, nullptr, setPerson,
     "match people (the default without --confirm, --key and --limit): --field names the fields whose words "
     "make the name, given names first and the surname last (in link, of both files); see \"Matching people\" "
     "in the help of group and link"},
    {"--field-b", nullptr, COMMAND_LINK, "N|NAME[,N|NAME]", "a field number or a header name", setFieldB,
     "B's name fields when they differ from A's"},
    {"--with", nullptr, MATCHING, "N|NAME[,N|NAME]", "a field number or a header name", setWith,
     "other fields that confirm or refute a pair (a date of birth, a postcode), each of a kind guessed from "
     "its values or given as NAME:date, :number, :code or :text (dob:date,zip:code); the levels of each kind "
     "are in \"Matching people\" below"},
    {"--threshold", nullptr, MATCHING, "P", "a probability from 0 to 1", setThreshold,
     "pairs whose fitted probability of being one person is at least P match (default " +
         decimals(PeopleSettings().threshold, 1) + ")"},
    {"--nicknames", nullptr, MATCHING, "FILE|none", "a file name or none", setNicknames,
     "the table of given names and their nicknames (Robert: Bob, Rob, Robby) for the matching of people: by "
     "default the one built in (about 1,100 English given names, data/nicknames/names.csv in the source); "
     "FILE: a table of that form, CSV with the header name1,relationship,name2 and rows "
     "name,has_nickname,nickname, in UTF-8 (Windows-1252 with --encoding cp1252); none: no table"},
    {"--report", nullptr, MATCHING, "FILE", "a file name", setReport,
     "also write FILE, an HTML page of the run to look at in a browser: the candidate pairs' weights and "
     "where the threshold falls, what each level of each field weighs, the pairs nearest the threshold, "
     "the groups' sizes, and with --truth precision, recall and F1 against the threshold (every candidate "
     "pair is then compared in full)"},
    {"--explain", nullptr, MATCHING, nullptr, nullptr, setExplain,
     "a column that shows each comparison of the pair, its level and its weight"},
    {"--one-to-one", nullptr, COMMAND_LINK, nullptr, nullptr, setOneToOne,
     "each record of A and of B in one pair at most: the heaviest pairs first"},
    {"--pairs", nullptr, COMMAND_GROUP, nullptr, nullptr, setPairs,
     "write the matched pairs instead of the groups: both records of each pair (their columns named a.NAME and "
     "b.NAME under a header), line_a, line_b, the group that holds both (empty where the groups kept them "
     "apart), score and weight, the heaviest pairs of each record first"},
    {"--truth", nullptr, MATCHING, "N|NAME", "a field number or a header name", setTruth,
     "the field that holds each record's true entity (in both files of link): after the output, stderr gets "
     "the pairs found, how many of them are true and how many true pairs there are, with pairwise precision, "
     "recall and F1; an empty field is an entity of its own"},
    {"--encoding", nullptr, COMMAND_ANY, "utf-8|cp1252", "a value: utf-8 or cp1252", setEncoding,
     "text is UTF-8, converted to and from Windows-1252 around each call (the default); or the bytes pass as "
     "they are, in the library's own code page"},
    {"--help", "-h", COMMAND_ANY, nullptr, nullptr, setHelp,
     "the command's overview: its usage, options and functions; after a function, map, group or link, that "
     "one's own help"},
};

const OptionRow* findOption(const std::string& name) {
    for (const OptionRow& row : kOptions)
        if (name == row.name || (row.alias && name == row.alias)) return &row;
    return nullptr;
}

// All the commands that take an option, over its rows.
unsigned commandsTaking(const std::string& name) {
    unsigned commands = 0;
    for (const OptionRow& row : kOptions)
        if (name == row.name) commands |= row.commands;
    return commands;
}

}  // namespace

unsigned commandOf(const std::string& word) {
    if (word == "map") return COMMAND_MAP;
    if (word == "group") return COMMAND_GROUP;
    if (word == "link") return COMMAND_LINK;
    if (word == "info") return COMMAND_INFO;
    if (word == "help") return COMMAND_HELP;
    return COMMAND_CALL;
}

std::string commandNames(unsigned commands) {
    static const char* const kNames[] = {"a function call", "map", "group", "link", "info", "help"};
    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i)
        if (commands & (1u << i)) names.push_back(kNames[i]);
    std::string text;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

bool parseOptions(const std::vector<std::string>& arguments, Options* options, std::vector<std::string>* words,
                  std::string* problem) {
    std::vector<const OptionRow*> given;
    std::string unknown;
    bool optionsEnd = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (optionsEnd || a.size() < 2 || a[0] != '-' || (a[1] != '-' && !findOption(a))) {
            words->push_back(a);  // "-", "-3" and names are words
            continue;
        }
        if (a == "--") {
            optionsEnd = true;
            continue;
        }
        size_t equals = a.find('=');
        const OptionRow* row = findOption(a.substr(0, equals));
        if (!row) {
            if (unknown.empty()) unknown = a;
            continue;
        }
        std::string value;
        if (row->value) {
            if (equals != std::string::npos) {
                value = a.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                *problem = std::string(row->name) + " needs " + row->needs;
                return false;
            }
        } else if (equals != std::string::npos) {
            *problem = std::string(row->name) + " takes no value";
            return false;
        }
        if (!row->apply(*options, value, problem)) return false;
        given.push_back(row);
    }
    unsigned command = words->empty() ? COMMAND_HELP : commandOf((*words)[0]);
    if (!unknown.empty()) {
        bool own = command & (COMMAND_MAP | COMMAND_GROUP | COMMAND_LINK);
        *problem = "unknown option " + unknown + " (" +
                   (own ? "ovrin help " + (*words)[0] + " lists the options of " + (*words)[0] : "ovrin --help lists them") +
                   ")";
        return false;
    }
    if (options->help) return true;
    for (const OptionRow* row : given) {
        unsigned takes = commandsTaking(row->name);
        if (!(takes & command)) {
            *problem = std::string(row->name) + " is an option of " + commandNames(takes);
            return false;
        }
    }
    return true;
}

std::string optionHelp(unsigned command) {
    const size_t column = 23;
    std::string text;
    for (const OptionRow& row : kOptions) {
        if (!(row.commands & command)) continue;
        // The overview lists every option once.
        if (command == COMMAND_ANY && findOption(row.name) != &row) continue;
        std::string lead = "  " + std::string(row.alias ? std::string(row.alias) + ", " : "") + row.name;
        if (row.value) lead += " " + std::string(row.value);
        // A lead too long for its column stands on a line of its own.
        std::string first = padded(lead, column);
        if (lead.size() + 1 > column) {
            text += lead + "\n";
            first = std::string(column, ' ');
        }
        unsigned takes = commandsTaking(row.name);
        if (command != COMMAND_ANY || takes == COMMAND_ANY) {
            text += wrapped(first, row.help, column);
        } else if (takes == row.commands) {
            text += wrapped(first, commandNames(takes) + ": " + row.help, column);
        } else {
            // Worded for each command: every wording under its commands, its
            // lines after the first indented further.
            for (const OptionRow& wording : kOptions) {
                if (std::string(wording.name) != row.name) continue;
                text += wrapped(first, commandNames(wording.commands) + ": " + wording.help, column + 2);
                first = std::string(column, ' ');
            }
        }
    }
    return text;
}
