// The command's options as one table: each row an option's name, the
// commands that take it, what value it takes, how it is applied and its
// help. Parsing, the help of every command and the messages about options
// all come from these rows, and the manual page's OPTIONS from the help
// (tools/make_manpage.sh).
#pragma once

#include <string>
#include <vector>

#include "../records/record_reader.h"

// The commands, as bits: which commands take an option.
enum : unsigned {
    COMMAND_CALL = 1,  // ovrin FUNCTION ...
    COMMAND_MAP = 2,
    COMMAND_GROUP = 4,
    COMMAND_LINK = 8,
    COMMAND_INFO = 16,
    COMMAND_HELP = 32,
    COMMAND_ANY = 63,
};

struct Options {
    bool cp1252 = false;              // --encoding cp1252: bytes pass as they are
    TextFormat format = TextFormat::TSV;
    std::vector<std::string> fields;  // --field, split at commas
    bool header = false;              // --header
    int progress = -1;                // --progress 1, --no-progress 0, else -1 (when useful)
    std::string key;                  // group and link: --key, --limit, --confirm as written
    std::string limit;
    std::string confirm;
    bool all = false;   // --all
    bool json = false;  // --json
    bool best = false;  // --best
    std::string truth;  // --truth: the field of the true entity, or empty
    // The matching of people (people_group.cpp, people_link.cpp), which any of these asks for.
    bool person = false;                 // --person
    std::vector<std::string> fieldsB;    // --field-b, split at commas
    std::vector<std::string> with;       // --with, split at commas
    std::string threshold;               // --threshold as written
    std::string report;                  // --report: the HTML page to write, or empty
    std::string nicknames;               // --nicknames: FILE or "none"; empty: the table built in
    bool explain = false;                // --explain
    bool oneToOne = false;               // --one-to-one
    bool pairs = false;                  // --pairs: group writes its matched pairs
    bool help = false;  // --help, -h
};

// The command bit of a command word: map, group, link, info, help; any other
// word is a function call.
unsigned commandOf(const std::string& word);

// Takes the options out of `arguments` into `options` and leaves the other
// words in `words`, in order; "--" ends the options. False with `problem`
// set on an unknown option, a missing or wrong value, or an option the
// command does not take.
bool parseOptions(const std::vector<std::string>& arguments, Options* options, std::vector<std::string>* words,
                  std::string* problem);

// The help lines of the options that `command` takes, aligned; with
// COMMAND_ANY every option once, after the commands that take it, and one
// whose help differs from command to command with every wording.
std::string optionHelp(unsigned command);

// "map, group and link"
std::string commandNames(unsigned commands);
