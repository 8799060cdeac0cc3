#include "people_command.h"
#include "report.h"
#include "nickname_tables.h"
#include "text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../records/system.h"

namespace {

const PeopleSettings kDefaults;

// 50000 as "50,000".
std::string withThousands(uint64_t n) {
    std::string digits = std::to_string(n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// A share as a whole number of percent: 0.88 as "88".
std::string percent(double share) { return std::to_string(std::lround(share * 100)); }

// The table of --nicknames FILE into `table`, in the run's encoding.
// EXIT_USAGE after a message when the file cannot be read or is malformed.
int readNicknameFile(const CommandContext& context, const std::string& path, NicknameTable* table) {
    const std::string cannot = "cannot read the nickname table " + path + ": ";
    std::unique_ptr<FILE, int (*)(FILE*)> file(openForReading(path), std::fclose);
    if (!file) return context.usage(cannot + std::strerror(errno));
    FileSource source(file.get());
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        long got = source.read(buffer, sizeof buffer);
        if (got < 0) return context.usage(cannot + std::strerror(errno));
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    std::string problem;
    if (!loadNicknameText(text, context.options.cp1252, table, &problem))
        return context.usage(path + ": " + context.toConsole(problem));
    return EXIT_DONE;
}

// --nicknames: the table built in (the default), FILE's, or none.
int readNicknames(const CommandContext& context, PersonSettings* settings) {
    const std::string& choice = context.options.nicknames;
    settings->nicknameFile.reset();
    if (choice.empty()) {
        settings->engine.nicknames = &shippedNicknames();
    } else if (choice == "none") {
        settings->engine.nicknames = nullptr;
    } else {
        auto table = std::make_shared<NicknameTable>();
        int status = readNicknameFile(context, choice, table.get());
        if (status != EXIT_DONE) return status;
        settings->nicknameFile = table;
        settings->engine.nicknames = table.get();
    }
    return EXIT_DONE;
}

}  // namespace

const std::string kPersonHelp =
    std::string() + "\n"
    "Matching people (the default):\n"
    "A name or --with value with letters that Windows-1252 (all the library\n"
    "reads) lacks is spelled in Latin letters first: Polish, Czech or Turkish\n"
    "letters as their plain letter (Lukasz Walesa), Cyrillic and Greek as\n"
    "passports write them (Ivan Petrov, Giorgos), other scripts by ICU's\n"
    "transliteration (ovrin.exe, built without ICU, spells Latin letters only).\n"
    "The letters with a mark that Windows-1252 has stay as they are (e acute,\n"
    "u umlaut); its sharp s, ae, o with a stroke, oe, thorn and eth are spelled\n"
    "ss, ae, o, oe, th and d. A field of which nothing is left counts as missing.\n"
    "\n"
    "The name is cleaned before it is compared: blanks trimmed and collapsed,\n"
    "upper case, words split at blanks, hyphens and commas (Smith-Jones and Smith\n"
    "Jones meet), dots, quotes and apostrophes dropped (O'Brien is OBRIEN). With one\n"
    "field, \"Surname, Given\" puts the words before the comma last; the first word\n"
    "is the given name, the others the surname (one word: a surname). With several\n"
    "fields, the last holds the surname. Particles (van, de, von...) are not\n"
    "compared on their own; the parts of a name are also compared as one word.\n"
    "\n"
    "Candidates: every name word's first Double Metaphone code, the codes of a\n"
    "given name and a surname together (a given name's names in the nickname\n"
    "table standing for its code: Bob Smith meets Robert Smith), and every\n"
    "--with value with the first\n"
    "letter of each name word are keys, and the records of a key meet in pairs;\n"
    "a key held by more than " + std::to_string(kDefaults.bounds.blockLimit) + " records pairs each only with the " +
    std::to_string(kDefaults.bounds.window) + " next to it\n"
    "in the order of the names and of the names read backwards, so that\n"
    "frequent keys cost a few pairs a record, not a square; the first two\n"
    "letters of a given name and of a surname together are a key read that way\n"
    "at any size. A pair that cannot reach the threshold, whatever its names'\n"
    "comparisons give, is not compared.\n"
    "\n"
    "Each pair's given names and surnames are compared word by word, also\n"
    "crosswise (the given name of one with the surname of the other) when that\n"
    "agrees better: exact; close (ovLevenshtein within a fifth of the letters,\n"
    "ovGuthMatch " + std::to_string(kWordLevelRules[0].guthPercent) + " percent or more, a shared code within two fifths, or two\n"
    "neighbouring letters swapped: Tomsaz, Tomasz); some (a\n"
    "shared code, within half, " + std::to_string(kWordLevelRules[1].guthPercent) + " percent, an initial); different; or missing,\n"
    "which counts neither way; a given name and its nickname (--nicknames) are\n"
    "alike. --with fields by kind, guessed from the values and said on stderr,\n"
    "or given as NAME:KIND: date (equal; day and month swapped; a digit changed\n"
    "or two swapped; same year and month; different: ISO, D/M/Y, M/D/Y, names\n"
    "of months, one order of day and month a column), number (equal; one\n"
    "apart; different), code (equal; one edit or swap; different), text (equal;\n"
    "close as names are; different). A value not of its kind is missing, and\n"
    "counted. A level weighs log2(m/u) (Fellegi-Sunter): u is measured on\n"
    "random pairs of the input (" + withThousands(kRandomPairs) + ", and " + withThousands(kRandomValuePairs) + " for fields but text),\n"
    "a value's exact agreement from the values' counts; the m of the names are\n"
    "set (a person's records agree exactly on a name " + percent(kNameM[EXACT]) + " times in 100), those\n"
    "of the --with fields fitted to the candidates by EM, so that a field that\n"
    "agrees by chance as often as within a person weighs nothing. An exact name\n"
    "or value weighs by its share of the other records (a name two records hold\n"
    "says more than one of every fiftieth), a close name by its code's share.\n"
    "A pair whose probability of being one person reaches --threshold (" + decimals(kDefaults.threshold, 1) + ")\n"
    "matches, the share of true pairs fitted to the input (within four times\n"
    "one partner a record either way); with --best or --one-to-one, the\n"
    "probability is among the A record's rivals, with the share of A's records\n"
    "that have a partner fitted to the input (and the names' m too, without\n"
    "--with); records of B that match the heaviest candidate are not its\n"
    "rivals.\n"
    "\n"
    "group: records equal in every word and value are one record to the\n"
    "matching and one group, however many; a group joins another only when at\n"
    "least half of the pairs between\n"
    "their records match, so weak chains do not join two people; columns group\n"
    "and score (the probability of the group's weakest pair); --pairs writes the\n"
    "matched pairs instead, with the group that holds both. link: columns\n"
    "line_a, line_b, score and weight; --best keeps each A record's heaviest\n"
    "pair, --one-to-one each B record's too. A file linked with itself pairs no\n"
    "record with itself. --explain adds each comparison's level and weight.\n";

// People are matched unless an option of the grouping by a shared code asks
// for that; --person with one of them is refused by readSettings.
bool wantsPersonMatching(const Options& options) {
    return options.person || (options.confirm.empty() && options.key.empty() && options.limit.empty());
}

int readSettings(const CommandContext& context, PersonSettings* settings) {
    const Options& options = context.options;
    if (!options.confirm.empty() || !options.key.empty() || !options.limit.empty())
        return context.usage("--confirm, --key and --limit belong to the matching of single names, not of people");
    settings->fieldsA = options.fields.empty() ? std::vector<std::string>{"1"} : options.fields;
    settings->fieldsB = options.fieldsB.empty() ? settings->fieldsA : options.fieldsB;
    settings->with.clear();
    settings->withColumns.clear();
    for (const std::string& field : options.with) {
        ValueColumn column;
        splitWithField(field, &column.name, &column.kind);
        settings->with.push_back(column.name);
        settings->withColumns.push_back(column);
    }
    if (settings->with.size() + kNameComparisons > static_cast<size_t>(kMaxComparisons))
        return context.usage("--with takes " + std::to_string(kMaxComparisons - kNameComparisons) + " fields at most");
    if (!options.threshold.empty()) {
        char* end = nullptr;
        settings->engine.threshold = std::strtod(options.threshold.c_str(), &end);
        if (*end || end == options.threshold.c_str() || !(settings->engine.threshold >= 0 && settings->engine.threshold <= 1))
            return context.usage("--threshold takes a probability from 0 to 1, not \"" + options.threshold + "\"");
    }
    return readNicknames(context, settings);
}

void prepareWithValues(const CommandContext& context, const std::vector<PeopleColumns*>& lists,
                       PersonSettings* settings) {
    prepareValues(lists, &settings->withColumns);
    for (const ValueColumn& column : settings->withColumns) {
        std::string what;
        if (column.guessed) what = std::string(column.kind == ValueKind::DATE ? "dates" : kindName(column.kind)) + " (guessed)";
        if (column.kind == ValueKind::DATE && column.yearLast > 0)
            what += std::string(what.empty() ? "" : ", ") +
                    (column.order == DateOrder::MONTH_FIRST ? "month before day" : "day before month") +
                    " where the year is last" + (column.orderGuessed ? " (no day above 12 tells)" : "");
        if (column.unfit > 0)
            what += std::string(what.empty() ? "" : "; ") + counted(column.unfit, "value", "values") + " of " +
                    std::to_string(column.present) + " not of the kind, taken as missing (the first: \"" +
                    column.firstUnfit + "\")";
        if (!column.repeats.empty())
            what += std::string(what.empty() ? "" : "; ") + "repeats the " + column.repeats +
                    " in nine records in ten or more: left out, as the name already counts it";
        if (!what.empty()) context.message("--with " + column.name + ": " + what);
    }
}

int openPersonMatcher(const CommandContext& context, PersonMatcher* matcher) {
    MatchFunctions functions;
    std::string problem;
    if (!context.findMatchFunctions(KeyKind::DMETAPHONE, &functions, &problem)) return context.usage(problem);
    matcher->open(context.library, functions);
    return EXIT_DONE;
}

void reportProblems(const NameList& list, Warnings& warnings) {
    for (const auto& problem : list.widthProblems) warnings.warn(list.where, problem.first, problem.second);
    for (const auto& problem : list.problems)
        warnings.warn(list.where, list.records[problem.first].line, problem.second + "; it counts as missing");
    warnings.countNotShown(list.problemsNotKept);
}

void hintAtCodes(const CommandContext& context, const PersonSettings& settings, uint64_t candidates,
                 size_t matched) {
    if (candidates > 0 && matched == 0 && settings.with.empty())
        context.message("no pair is likely enough one person; to group look-alike names by a shared code "
                        "instead, give --confirm (ovrin help group)");
}

ReportRun reportRun(const CommandContext& context, const char* command, const PersonSettings& settings,
                    const PeopleMatch& match, const RunPicture& picture, const std::string& summary,
                    uint64_t warnings) {
    ReportRun run;
    run.command = command;
    run.commandLine = context.commandLine();
    run.names = comparisonNames(settings.with);
    run.match = &match;
    run.picture = &picture;
    run.threshold = settings.engine.threshold;
    run.summary = summary;
    run.warnings = warnings;
    run.seconds = context.seconds();
    run.cp1252 = context.options.cp1252;
    return run;
}
