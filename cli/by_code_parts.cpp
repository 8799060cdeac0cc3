#include "by_code_parts.h"

#include "text.h"

int readMatchSettings(const CommandContext& context, MatchSettings* settings) {
    const Options& options = context.options;
    std::string key = asciiLower(options.key);
    if (key.empty() || key == "dmetaphone" || key == "doublemetaphone") settings->key = KeyKind::DMETAPHONE;
    else if (key == "metaphone") settings->key = KeyKind::METAPHONE;
    else if (key == "soundex") settings->key = KeyKind::SOUNDEX;
    else if (key == "soundex5") settings->key = KeyKind::SOUNDEX5;
    else if (key == "phonex") settings->key = KeyKind::PHONEX;
    else return context.usage("unknown key \"" + options.key + "\": dmetaphone, metaphone, soundex, soundex5 or phonex");

    if (!options.limit.empty()) {
        if (settings->key != KeyKind::DMETAPHONE && settings->key != KeyKind::METAPHONE)
            return context.usage("--limit sets the code length of dmetaphone and metaphone only");
        int32_t limit;
        if (!parseInt32(options.limit, &limit) || limit < 1 || limit > 255)
            return context.usage("--limit takes a code length from 1 to 255, not \"" + options.limit + "\"");
        settings->limit = limit;
    }

    std::string confirm = asciiLower(options.confirm);
    if (confirm.empty() || confirm == "levenshtein") {
        settings->confirm = ConfirmKind::LEVENSHTEIN;
    } else if (confirm.compare(0, 12, "levenshtein:") == 0) {
        int32_t k;
        if (!parseInt32(confirm.substr(12), &k) || k < 0 || confirm[12] == '+' || confirm[12] == '-')
            return context.usage("levenshtein:K takes a distance of 0 or more, not \"" + options.confirm + "\"");
        settings->confirm = ConfirmKind::LEVENSHTEIN;
        settings->maxDistance = k;
    } else if (confirm == "guth") {
        settings->confirm = ConfirmKind::GUTH;
    } else if (confirm == "none") {
        settings->confirm = ConfirmKind::NONE;
    } else {
        return context.usage("unknown confirmation \"" + options.confirm + "\": levenshtein:K, guth or none");
    }
    return EXIT_DONE;
}

std::vector<uint32_t> recordNames(const NameList& list) {
    std::vector<uint32_t> names;
    names.reserve(list.records.size());
    for (const NameRecord& r : list.records) names.push_back(r.name);
    return names;
}

void reportWidths(const NameList& list, Warnings& warnings) {
    for (const auto& problem : list.widthProblems) warnings.warn(list.where, problem.first, problem.second);
}

void reportRecords(const CommandContext& context, const NameList& list, const ClassList& classes, KeyKind key,
                   const std::string& consequence, Warnings& warnings) {
    size_t next = 0;
    for (size_t r = 0; r < list.records.size(); ++r) {
        while (next < list.problems.size() && list.problems[next].first == r)
            warnings.warn(list.where, list.records[r].line, list.problems[next++].second + "; " + consequence);
        const NameRecord& record = list.records[r];
        if (record.name != kNoName && classes.classOfName[record.name] == kNoCode) {
            warnings.warn(list.where, record.line,
                          quotedName(context, list.names.data(record.name), list.names.size(record.name)) +
                              " has no " + keyTitle(key) + " code; " + consequence);
        }
    }
    warnings.countNotShown(list.problemsNotKept);
}

uint64_t countWithoutCode(const NameList& list, const ClassList& classes) {
    uint64_t n = 0;
    for (const NameRecord& r : list.records)
        if (r.name != kNoName && classes.classOfName[r.name] == kNoCode) ++n;
    return n;
}

int prepare(CommandContext& context, size_t lists, Prepared* prepared) {
    int status = readMatchSettings(context, &prepared->settings);
    if (status != EXIT_DONE) return status;
    prepared->selectors = context.options.fields;
    if (prepared->selectors.empty()) prepared->selectors.push_back("1");
    if (prepared->selectors.size() > lists)
        return context.usage(std::string(lists == 1 ? "group reads one field" : "link reads one field of each file") +
                             ", --field gives " + std::to_string(prepared->selectors.size()));
    if (prepared->selectors.size() < lists) prepared->selectors.push_back(prepared->selectors[0]);
    std::string problem;
    if (!context.findMatchFunctions(prepared->settings.key, &prepared->functions, &problem))
        return context.usage(problem);
    return EXIT_DONE;
}
