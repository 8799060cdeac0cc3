// ovrin group [options] [FILE]: the records of one list whose names are
// probably the same name spelled differently, in numbered groups.
// ovrin link [options] FILE_A FILE_B: for each record of A, the records of
// B whose names are. Both read and match as matching.h describes and write
// TSV (or CSV) rows or JSON lines; a summary goes to stderr.
#include <algorithm>
#include <cstring>
#include <queue>

#include "command_parts.h"
#include "../records/record_writer.h"
#include "../records/warnings.h"
#include "matching.h"
#include "match_output.h"
#include "name_list.h"
#include "person_command.h"
#include "truth_column.h"

namespace {

std::string counted(uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Reports what was wrong with a list's records: the width problems of the
// whole list, then ...
void reportWidths(const NameList& list, Warnings& warnings) {
    for (const auto& problem : list.widthProblems) warnings.warn(list.where, problem.first, problem.second);
}

// Reports the records that take no part, in record order: those without a
// usable name, and those whose name the encoder gives no code.
void reportRecords(const CommandContext& context, const NameList& list, const ClassList& classes, KeyKind key,
                   const std::string& consequence, Warnings& warnings) {
    size_t next = 0;
    for (size_t r = 0; r < list.records.size(); ++r) {
        bool noted = false;
        while (next < list.problems.size() && list.problems[next].first == r) {
            warnings.warn(list.where, list.records[r].line, list.problems[next++].second + "; " + consequence);
            noted = true;
        }
        const NameRecord& record = list.records[r];
        if (record.name == kNoName) {
            if (!noted) warnings.warn(list.where, record.line, "no usable name; " + consequence);
        } else if (classes.classOfName[record.name] == kNoCode) {
            warnings.warn(list.where, record.line,
                          quotedName(context, list.names.data(record.name), list.names.size(record.name)) +
                              " has no " + keyTitle(key) + " code; " + consequence);
        }
    }
}

uint64_t countWithoutCode(const NameList& list, const ClassList& classes) {
    uint64_t n = 0;
    for (const NameRecord& r : list.records)
        if (r.name != kNoName && classes.classOfName[r.name] == kNoCode) ++n;
    return n;
}

struct Prepared {
    MatchSettings settings;
    std::vector<std::string> selectors;
};

int prepare(CommandContext& context, size_t lists, Prepared* prepared) {
    int status = readMatchSettings(context, &prepared->settings);
    if (status != EXIT_DONE) return status;
    prepared->selectors = context.options.fields;
    if (prepared->selectors.empty()) prepared->selectors.push_back("1");
    if (prepared->selectors.size() > lists)
        return context.usage(std::string(lists == 1 ? "group reads one field" : "link reads one field of each file") +
                             ", --field gives " + std::to_string(prepared->selectors.size()));
    if (prepared->selectors.size() < lists) prepared->selectors.push_back(prepared->selectors[0]);
    return EXIT_DONE;
}

}  // namespace

int runGroup(CommandContext& context, const std::vector<std::string>& words) {
    if (wantsPersonMatching(context.options)) return runPersonGroup(context, words);
    if (words.size() > 2) return context.usage("group takes one file at most: ovrin group [options] [FILE]");
    Prepared prepared;
    int status = prepare(context, 1, &prepared);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    Matcher matcher(prepared.settings);
    std::string problem;
    if (!matcher.open(context, &problem)) return context.usage(problem);

    NameList list;
    list.input = words.size() > 1 ? words[1] : "-";
    status = readNameList(context, prepared.selectors[0], &list);
    if (status != EXIT_DONE) return status;
    StringPool labels;
    std::vector<uint32_t> truthOf;
    if (!options.truth.empty() && !readTruth(context, list, options.truth, &labels, &truthOf, &problem))
        return context.usage(problem);
    ClassList classes;
    Grouping grouping;
    if (!matcher.classify(list, &classes) || !groupNames(matcher, list, classes, &grouping)) {
        context.message(matcher.error() + "; stopped");
        return EXIT_FAULTS;
    }
    Warnings warnings(*context.console.err, "ovrin");
    reportWidths(list, warnings);
    reportRecords(context, list, classes, prepared.settings.key, "it stands alone", warnings);

    // The records of each group, in input order.
    const size_t recordCount = list.records.size();
    const size_t groupCount = grouping.groupKey.size() - 1;
    std::vector<uint32_t> groupStart(groupCount + 2, 0);
    for (uint32_t g : grouping.groupOfRecord)
        if (g) ++groupStart[g + 1];
    for (size_t g = 1; g <= groupCount; ++g) groupStart[g + 1] += groupStart[g];
    std::vector<uint32_t> members(groupStart[groupCount + 1]);
    {
        std::vector<uint32_t> next(groupStart.begin(), groupStart.end());
        for (size_t r = 0; r < recordCount; ++r)
            if (grouping.groupOfRecord[r]) members[next[grouping.groupOfRecord[r]]++] = static_cast<uint32_t>(r);
    }

    Output out(*context.console.out);
    std::unique_ptr<RecordWriter> writer = makeWriter(out, writerSettings(context, {{"group"}, {"key"}}, warnings));
    std::vector<HeaderPart> header(1);
    header[0].text = &list.headerText;
    header[0].unclosedQuote = list.headerUnclosedQuote;
    writer->start(list.bom, list.hasHeader ? &header : nullptr, list.headerEnd);
    const StringPool& keys = matcher.catalog().keys;
    // Groups and, with --all, the records alone, in order of their first
    // records.
    std::vector<OutRecord> records;
    std::vector<const OutRecord*> recordPointers;
    uint32_t nextGroup = 1;
    for (size_t r = 0; r < recordCount && !out.failed(); ++r) {
        uint32_t g = grouping.groupOfRecord[r];
        if (g == 0 && !options.all) continue;
        if (g != 0 && g != nextGroup) continue;  // written with its group
        size_t from = g ? groupStart[g] : 0, to = g ? groupStart[g + 1] : 1;
        records.clear();
        for (size_t i = from; i < to; ++i) records.push_back(outRecord(list, list.records[g ? members[i] : r]));
        recordPointers.clear();
        for (const OutRecord& record : records) recordPointers.push_back(&record);
        std::string key = g ? keys.text(static_cast<uint32_t>(grouping.groupKey[g])) : std::string();
        Value values[2];
        if (g) {
            values[0] = Value::of(static_cast<int64_t>(g));
            values[1] = Value::of(key);
        }
        Row row;
        row.members = recordPointers.data();
        row.memberCount = recordPointers.size();
        row.values = values;
        writer->row(row);
        if (g) ++nextGroup;
    }
    if (!out.flush()) return context.lostOutput(out);

    uint64_t withoutCode = grouping.withoutCode;
    context.message(counted(recordCount, "record", "records") + ": " + std::to_string(grouping.grouped) + " in " +
                    counted(groupCount, "group", "groups") + ", " +
                    std::to_string(recordCount - grouping.grouped) + " alone (" + std::to_string(list.withoutName) +
                    " without a name, " + std::to_string(withoutCode) + " without a code)");
    if (!options.truth.empty()) context.message(pairCountsText(countGroupPairs(grouping.groupOfRecord, truthOf)));
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}

int runLink(CommandContext& context, const std::vector<std::string>& words) {
    if (wantsPersonMatching(context.options)) return runPersonLink(context, words);
    if (words.size() != 3) return context.usage("link needs two files: ovrin link [options] FILE_A FILE_B");
    if (words[1] == "-" && words[2] == "-") return context.usage("only one of the two files can be stdin (-)");
    Prepared prepared;
    int status = prepare(context, 2, &prepared);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    Matcher matcher(prepared.settings);
    std::string problem;
    if (!matcher.open(context, &problem)) return context.usage(problem);

    NameList a, b;
    a.input = words[1];
    b.input = words[2];
    status = readNameList(context, prepared.selectors[0], &a);
    if (status == EXIT_DONE) status = readNameList(context, prepared.selectors[1], &b);
    if (status != EXIT_DONE) return status;
    StringPool labels;
    std::vector<uint32_t> truthOfA, truthOfB;
    if (!options.truth.empty() && (!readTruth(context, a, options.truth, &labels, &truthOfA, &problem) ||
                                   !readTruth(context, b, options.truth, &labels, &truthOfB, &problem)))
        return context.usage(problem);
    std::vector<std::pair<uint32_t, uint32_t>> written;  // for --truth: (A record, B record)

    // B's classes and their codes first; A's codes that B lacks find nothing.
    ClassList aClasses, bClasses;
    KeyIndex bIndex;
    if (!matcher.classify(b, &bClasses)) {
        context.message(matcher.error() + "; stopped");
        return EXIT_FAULTS;
    }
    buildKeyIndex(matcher.catalog(), bClasses, &bIndex);
    if (!matcher.classify(a, &aClasses)) {
        context.message(matcher.error() + "; stopped");
        return EXIT_FAULTS;
    }
    Warnings warnings(*context.console.err, "ovrin");
    reportWidths(a, warnings);
    reportWidths(b, warnings);
    reportRecords(context, a, aClasses, prepared.settings.key, "it is not matched", warnings);
    reportRecords(context, b, bClasses, prepared.settings.key, "it is not matched", warnings);

    // The records of each class of B, in input order.
    const size_t bClassCount = bClasses.form.size();
    std::vector<uint32_t> bStart(bClassCount + 1, 0);
    for (const NameRecord& r : b.records)
        if (r.name != kNoName && bClasses.classOfName[r.name] != kNoCode) ++bStart[bClasses.classOfName[r.name] + 1];
    for (size_t c = 0; c < bClassCount; ++c) bStart[c + 1] += bStart[c];
    std::vector<uint32_t> bMembers(bStart[bClassCount]);
    {
        std::vector<uint32_t> next(bStart.begin(), bStart.end() - 1);
        for (size_t r = 0; r < b.records.size(); ++r) {
            uint32_t name = b.records[r].name;
            if (name != kNoName && bClasses.classOfName[name] != kNoCode)
                bMembers[next[bClasses.classOfName[name]]++] = static_cast<uint32_t>(r);
        }
    }

    // The matches of each class of A, all found before anything is written,
    // so that an error answer leaves no output.
    const size_t aClassCount = aClasses.form.size();
    std::vector<uint32_t> matchStart(1, 0);
    std::vector<LinkMatch> matches, found;
    matchStart.reserve(aClassCount + 1);
    for (uint32_t c = 0; c < aClassCount; ++c) {
        if (!linkClass(matcher, aClasses, c, bClasses, bIndex, &found)) {
            context.message(matcher.error() + "; stopped");
            return EXIT_FAULTS;
        }
        if (options.best && !found.empty()) {
            // The highest percentage, then the lowest distance, then the
            // first in B (classes are in order of first records).
            LinkMatch best = found[0];
            for (const LinkMatch& m : found)
                if (m.percent > best.percent || (m.percent == best.percent && m.distance < best.distance)) best = m;
            found.assign(1, best);
        }
        matches.insert(matches.end(), found.begin(), found.end());
        matchStart.push_back(static_cast<uint32_t>(matches.size()));
    }

    Output out(*context.console.out);
    std::unique_ptr<RecordWriter> writer =
        makeWriter(out, writerSettings(context,
                                       {{"line_a", true}, {"line_b", true}, {"key"}, {"guth_percent"}, {"levenshtein"}},
                                       warnings));
    std::vector<std::string> aNames, bNames;
    std::vector<HeaderPart> header(2);
    header[0].text = &a.headerText;
    header[1].text = &b.headerText;
    header[0].unclosedQuote = a.headerUnclosedQuote;
    header[1].unclosedQuote = b.headerUnclosedQuote;
    if (distinguishColumns(a.headerFields, b.headerFields, &aNames, &bNames)) {
        header[0].fields = &aNames;
        header[1].fields = &bNames;
    }
    writer->start(a.bom, a.hasHeader || b.hasHeader ? &header : nullptr, a.hasHeader ? a.headerEnd : b.headerEnd);
    const StringPool& keys = matcher.catalog().keys;

    uint64_t matched = 0, pairs = 0;
    OutRecord outA, outB;
    std::string key;
    Value values[5];
    Row row;
    row.recordCount = 2;
    row.records[0] = &outA;
    row.absentWidth[1] = b.width;
    row.values = values;
    // One line: A's record, B's or nothing, and the pair's measures.
    const NameRecord* ra = nullptr;
    auto writePair = [&](const NameRecord* rb, const LinkMatch* m) {
        if (rb && !options.truth.empty())
            written.push_back({static_cast<uint32_t>(ra - a.records.data()), static_cast<uint32_t>(rb - b.records.data())});
        if (rb) outB = outRecord(b, *rb);
        row.records[1] = rb ? &outB : nullptr;
        values[1] = rb ? Value::of(static_cast<int64_t>(rb->line)) : Value();
        if (m) key = keys.text(static_cast<uint32_t>(m->key));
        values[2] = m ? Value::of(key) : Value();
        values[3] = m ? Value::of(static_cast<int64_t>(m->percent)) : Value();
        values[4] = m ? Value::of(static_cast<int64_t>(m->distance)) : Value();
        writer->row(row);
    };

    typedef std::pair<uint32_t, uint32_t> Cursor;  // B record, index of its match
    std::priority_queue<Cursor, std::vector<Cursor>, std::greater<Cursor>> merge;
    std::vector<uint32_t> cursor;
    for (const NameRecord& record : a.records) {
        if (out.failed()) break;
        ra = &record;
        uint32_t c = record.name == kNoName ? kNoCode : aClasses.classOfName[record.name];
        size_t from = 0, to = 0;
        if (c != kNoCode) {
            from = matchStart[c];
            to = matchStart[c + 1];
        }
        if (from == to && !options.all) continue;
        outA = outRecord(a, record);
        values[0] = Value::of(static_cast<int64_t>(record.line));
        if (from == to) {
            writePair(nullptr, nullptr);
            continue;
        }
        ++matched;
        if (options.best) {
            const LinkMatch& m = matches[from];
            writePair(&b.records[bMembers[bStart[m.bClass]]], &m);
            ++pairs;
            continue;
        }
        // The B records of all matched classes, in input order.
        cursor.assign(to - from, 0);
        for (size_t i = from; i < to; ++i)
            merge.push(Cursor(bMembers[bStart[matches[i].bClass]], static_cast<uint32_t>(i - from)));
        while (!merge.empty()) {
            Cursor top = merge.top();
            merge.pop();
            const LinkMatch& m = matches[from + top.second];
            writePair(&b.records[top.first], &m);
            ++pairs;
            uint32_t& at = cursor[top.second];
            if (bStart[m.bClass] + ++at < bStart[m.bClass + 1])
                merge.push(Cursor(bMembers[bStart[m.bClass] + at], top.second));
        }
    }
    if (!out.flush()) return context.lostOutput(out);

    uint64_t aWithoutCode = countWithoutCode(a, aClasses), bWithoutCode = countWithoutCode(b, bClasses);
    context.message("A: " + counted(a.records.size(), "record", "records") + ", " + std::to_string(matched) +
                    " matched, " + std::to_string(a.records.size() - matched) + " not (" +
                    std::to_string(a.withoutName) + " without a name, " + std::to_string(aWithoutCode) +
                    " without a code); B: " + counted(b.records.size(), "record", "records") + " (" +
                    std::to_string(b.withoutName) + " without a name, " + std::to_string(bWithoutCode) +
                    " without a code); " + counted(pairs, "pair", "pairs") + " written");
    if (!options.truth.empty()) context.message(pairCountsText(countLinkPairs(truthOfA, truthOfB, written)));
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}
