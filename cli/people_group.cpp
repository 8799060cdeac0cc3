// ovrin group matching people: the records of one list that are probably
// one person, in groups that do not chain, or with --pairs the matched
// pairs.
#include "match_output.h"
#include "people_command.h"
#include "report.h"
#include "text.h"
#include "truth_column.h"
#include "../records/record_writer.h"

namespace {

// Each group with its records and its score (the probability of its
// weakest pair), and with --all the records alone, in order of first
// records.
void writeGroups(const CommandContext& context, const NameList& list, const PeopleMatch& match,
                 const PeopleGroups& groups, const std::vector<std::string>& names, RecordWriter& writer,
                 const Output& out) {
    std::vector<OutRecord> records;
    for (uint32_t r = 0; r < list.records.size() && !out.failed(); ++r) {
        uint32_t g = groups.groupOf[r];
        if (g == 0 && !context.options.all) continue;
        if (g != 0 && *groups.begin(g) != r) continue;  // written with its group
        records.clear();
        if (g)
            for (const uint32_t* m = groups.begin(g); m != groups.end(g); ++m)
                records.push_back(outRecord(list, list.records[*m]));
        else
            records.push_back(outRecord(list, list.records[r]));
        std::string score, explanation;
        Value values[3];
        if (g && !groups.weakest[g]) {
            // Copies of one record, and no other.
            score = decimals(1, 3);
            explanation = "copies of one record";
            values[0] = Value::of(static_cast<int64_t>(g));
            values[1] = Value::of(score);
            values[2] = Value::of(explanation);
        } else if (g) {
            const Candidate& weakest = *groups.weakest[g];
            score = decimals(match.model.probability(pairWeight(match.model, weakest)), 3);
            explanation = "weakest pair: lines " + std::to_string(list.records[weakest.x].line) + " and " +
                          std::to_string(list.records[weakest.y].line) + ": " +
                          explainPair(match.model, weakest, names);
            values[0] = Value::of(static_cast<int64_t>(g));
            values[1] = Value::of(score);
            values[2] = Value::of(explanation);
        }
        writeGroupRow(writer, records, values);
    }
}

// group --pairs: each matched pair with both its records, as link writes
// them, and the group that holds both; in the order of the first record,
// each record's heaviest pairs first.
void writeGroupPairs(const CommandContext& context, const NameList& list, std::vector<Candidate> matched,
                     const FsModel& model, const std::vector<uint32_t>& groupOf, const std::vector<std::string>& names,
                     RecordWriter& writer, const Output& out) {
    std::stable_sort(matched.begin(), matched.end(), [&](const Candidate& x, const Candidate& y) {
        if (x.x != y.x) return x.x < y.x;
        return pairWeight(model, x) > pairWeight(model, y);
    });
    OutRecord outA, outB;
    Value values[6];
    Row row;
    row.recordCount = 2;
    row.records[0] = &outA;
    row.records[1] = &outB;
    row.values = values;
    for (const Candidate& c : matched) {
        if (out.failed()) break;
        const NameRecord& ra = list.records[c.x];
        const NameRecord& rb = list.records[c.y];
        outA = outRecord(list, ra);
        outB = outRecord(list, rb);
        double weight = pairWeight(model, c);
        uint32_t group = groupOf[c.x] && groupOf[c.x] == groupOf[c.y] ? groupOf[c.x] : 0;
        std::string score = decimals(model.probability(weight), 3), weightText = decimals(weight, 1);
        std::string explanation = context.options.explain ? explainPair(model, c, names) : std::string();
        values[0] = Value::of(static_cast<int64_t>(ra.line));
        values[1] = Value::of(static_cast<int64_t>(rb.line));
        values[2] = group ? Value::of(static_cast<int64_t>(group)) : Value();
        values[3] = Value::of(score);
        values[4] = Value::of(weightText);
        values[5] = Value::of(explanation);
        writer.row(row);
    }
}

// The groups or the pairs, as the options ask.
int writeOutput(CommandContext& context, const NameList& list, const PeopleMatch& match, const PeopleGroups& groups,
                const std::vector<std::string>& names, Warnings& warnings) {
    const Options& options = context.options;
    std::vector<Column> columns = options.pairs ? std::vector<Column>{{"line_a", true}, {"line_b", true}, {"group"},
                                                                      {"score"}, {"weight"}}
                                                : std::vector<Column>{{"group"}, {"score"}};
    if (options.explain) columns.push_back({"explain"});
    Output out(*context.console.out);
    std::unique_ptr<RecordWriter> writer = makeWriter(out, writerSettings(context, columns, warnings));
    if (options.pairs) {
        startPairWriter(*writer, list, list);
        writeGroupPairs(context, list, match.matched, match.model, groups.groupOf, names, *writer, out);
    } else {
        startWriter(*writer, list);
        writeGroups(context, list, match, groups, names, *writer, out);
    }
    if (!out.flush()) return context.lostOutput(out);
    return EXIT_DONE;
}

}  // namespace

int runPersonGroup(CommandContext& context, const std::vector<std::string>& words) {
    if (words.size() > 2) return context.usage("group takes one file at most: ovrin group [options] [FILE]");
    PersonSettings settings;
    int status = readSettings(context, &settings);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    if (options.pairs && options.all)
        return context.usage("--pairs writes pairs, so --all has no records alone to add: give one of the two");
    PersonMatcher matcher;
    status = openPersonMatcher(context, &matcher);
    matcher.setNicknames(settings.engine.nicknames);
    if (status != EXIT_DONE) return status;
    PersonList people;
    people.list.input = words.size() > 1 ? words[1] : "-";
    status = readPersonList(context, settings.fieldsA, settings.with, &people);
    if (status != EXIT_DONE) return status;
    const NameList& list = people.list;
    StringPool labels;
    std::vector<uint32_t> truthOf;
    std::string problem;
    if (!options.truth.empty() && !readTruth(context, list, options.truth, &labels, &truthOf, &problem))
        return context.usage(problem);
    prepareWithValues(context, {&people.columns}, &settings);
    if (!matcher.add(people.columns)) return context.stopped(matcher.error());
    PeopleMatch match;
    settings.engine.keepCandidates = !options.report.empty();
    if (!matchPeople(matcher, MatchScope(), settings.engine, &match)) return context.stopped(matcher.error());
    const PeopleGroups groups = groupPeople(list.records.size(), match.matched, match.model, matcher.copies());
    RunPicture picture;
    if (!options.report.empty() && !pictureRun(matcher, match, settings.engine, PictureSettings(), &picture))
        return context.stopped(matcher.error());

    Warnings warnings(*context.console.err, "ovrin");
    reportProblems(list, warnings);
    const std::vector<std::string> names = comparisonNames(settings.with);
    status = writeOutput(context, list, match, groups, names, warnings);
    if (status != EXIT_DONE) return status;
    warnings.finish();
    const uint64_t recordCount = list.records.size();
    const std::string summary =
        counted(recordCount, "record", "records") + ": " + std::to_string(groups.grouped()) + " in " +
        counted(groups.count, "group", "groups") + ", " + std::to_string(recordCount - groups.grouped()) + " alone (" +
        std::to_string(list.withoutName) + " without a name); " +
        counted(match.candidates, "candidate pair", "candidate pairs") + ", " + std::to_string(match.matched.size()) +
        " matched";
    context.message(summary);
    hintAtCodes(context, settings, match.candidates, std::max<size_t>(match.matched.size(), groups.count));
    if (options.explain) context.message(weightsText(match.model, names));
    const PairCounts counts = options.truth.empty() ? PairCounts() : countGroupPairs(groups.groupOf, truthOf);
    if (!options.truth.empty()) context.message(pairCountsText(counts));
    if (!options.report.empty()) {
        ReportRun run = reportRun(context, "group", settings, match, picture, summary, warnings.count());
        run.a = &list;
        run.groups = &groups;
        if (!options.truth.empty()) setTruth(&run, candidatesTrue(picture, truthOf, nullptr, 0), counts);
        status = writeReportFile(context, run);
        if (status != EXIT_DONE) return status;
    }
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}
