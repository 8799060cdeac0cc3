// ovrin group [options] [FILE]: the records of one list that are probably
// one person (people_group.cpp), or with --confirm, --key or --limit those
// whose names are probably the same name spelled differently, in numbered
// groups. Writes TSV (or CSV) rows or JSON lines; a summary goes to stderr.
#include "by_code_parts.h"
#include "match_output.h"
#include "people_command.h"
#include "text.h"
#include "truth_column.h"
#include "../records/bucket_index.h"
#include "../records/record_writer.h"

namespace {

// The groups, and with --all the records alone, in order of their first
// records, each group's records in input order.
void writeGroups(const CommandContext& context, const NameList& list, const Grouping& grouping,
                 const StringPool& keys, RecordWriter& writer, const Output& out) {
    std::vector<uint32_t> start, members;
    const size_t groupCount = grouping.groupKey.size() - 1;
    bucketIndex(groupCount + 1, [&](auto place) {
        for (size_t r = 0; r < list.records.size(); ++r)
            if (grouping.groupOfRecord[r]) place(grouping.groupOfRecord[r], static_cast<uint32_t>(r));
    }, &start, &members);
    std::vector<OutRecord> records;
    uint32_t nextGroup = 1;
    for (size_t r = 0; r < list.records.size() && !out.failed(); ++r) {
        uint32_t g = grouping.groupOfRecord[r];
        if (g == 0 && !context.options.all) continue;
        if (g != 0 && g != nextGroup) continue;  // written with its group
        size_t from = g ? start[g] : 0, to = g ? start[g + 1] : 1;
        records.clear();
        for (size_t i = from; i < to; ++i) records.push_back(outRecord(list, list.records[g ? members[i] : r]));
        std::string key = g ? keys.text(static_cast<uint32_t>(grouping.groupKey[g])) : std::string();
        Value values[2];
        if (g) {
            values[0] = Value::of(static_cast<int64_t>(g));
            values[1] = Value::of(key);
        }
        writeGroupRow(writer, records, values);
        if (g) ++nextGroup;
    }
}

int groupByCode(CommandContext& context, const std::vector<std::string>& words) {
    if (words.size() > 2) return context.usage("group takes one file at most: ovrin group [options] [FILE]");
    Prepared prepared;
    int status = prepare(context, 1, &prepared);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    Matcher matcher(prepared.settings);
    matcher.open(context.library, prepared.functions);

    NameList list;
    list.input = words.size() > 1 ? words[1] : "-";
    status = readNameList(context, prepared.selectors[0], &list);
    if (status != EXIT_DONE) return status;
    StringPool labels;
    std::vector<uint32_t> truthOf;
    std::string problem;
    if (!options.truth.empty() && !readTruth(context, list, options.truth, &labels, &truthOf, &problem))
        return context.usage(problem);
    ClassList classes;
    Grouping grouping;
    if (!matcher.classify(list.names, &classes) || !groupNames(matcher, recordNames(list), classes, &grouping))
        return context.stopped(matcher.error());
    Warnings warnings(*context.console.err, "ovrin");
    reportWidths(list, warnings);
    reportRecords(context, list, classes, prepared.settings.key, "it stands alone", warnings);

    Output out(*context.console.out);
    std::unique_ptr<RecordWriter> writer = makeWriter(out, writerSettings(context, {{"group"}, {"key"}}, warnings));
    startWriter(*writer, list);
    writeGroups(context, list, grouping, matcher.catalog().keys, *writer, out);
    if (!out.flush()) return context.lostOutput(out);
    warnings.finish();

    const size_t recordCount = list.records.size(), groupCount = grouping.groupKey.size() - 1;
    context.message(counted(recordCount, "record", "records") + ": " + std::to_string(grouping.grouped) + " in " +
                    counted(groupCount, "group", "groups") + ", " +
                    std::to_string(recordCount - grouping.grouped) + " alone (" + std::to_string(list.withoutName) +
                    " without a name, " + std::to_string(grouping.withoutCode) + " without a code)");
    if (!options.truth.empty()) context.message(pairCountsText(countGroupPairs(grouping.groupOfRecord, truthOf)));
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}

}  // namespace

int runGroup(CommandContext& context, const std::vector<std::string>& words) {
    return wantsPersonMatching(context.options) ? runPersonGroup(context, words) : groupByCode(context, words);
}
