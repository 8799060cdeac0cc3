// ovrin link matching people: for each record of A, the records of B that
// are probably the same person, each pair with its score and weight.
#include "match_output.h"
#include "people_command.h"
#include "report.h"
#include "text.h"
#include "truth_column.h"
#include "../records/record_writer.h"

namespace {

struct PeopleLink {
    PersonList a, b;
    uint32_t split = 0;  // A's records; B's follow them in the matcher
    PeopleMatch match;
};

// Each record of A with its pairs, heaviest first (or alone with --all);
// the pairs written, as (A record, B record).
std::vector<std::pair<uint32_t, uint32_t>> writePairs(const CommandContext& context, const PeopleLink& link,
                                                      const PersonSettings& settings, RecordWriter& writer,
                                                      const Output& out, uint64_t* aMatched) {
    const Options& options = context.options;
    const NameList &a = link.a.list, &b = link.b.list;
    const std::vector<Candidate>& matched = link.match.matched;
    const std::vector<std::string> names = comparisonNames(settings.with);
    std::vector<std::pair<uint32_t, uint32_t>> written;
    OutRecord outA, outB;
    Value values[5];
    Row row;
    row.recordCount = 2;
    row.records[0] = &outA;
    row.absentWidth[1] = b.width;
    row.values = values;
    size_t next = 0;
    for (uint32_t r = 0; r < link.split && !out.failed(); ++r) {
        const NameRecord& ra = a.records[r];
        outA = outRecord(a, ra);
        values[0] = Value::of(static_cast<int64_t>(ra.line));
        if (next == matched.size() || matched[next].x != r) {
            if (!options.all) continue;
            row.records[1] = nullptr;
            for (int v = 1; v < 5; ++v) values[v] = Value();
            writer.row(row);
            continue;
        }
        ++*aMatched;
        for (; next < matched.size() && matched[next].x == r; ++next) {
            const Candidate& c = matched[next];
            const NameRecord& rb = b.records[c.y - link.split];
            outB = outRecord(b, rb);
            row.records[1] = &outB;
            const double weight = pairWeight(link.match.model, c);
            std::string score = decimals(matchScore(link.match, settings.engine, c), 3),
                        weightText = decimals(weight, 1);
            std::string explanation = options.explain ? explainPair(link.match.model, c, names) : std::string();
            values[1] = Value::of(static_cast<int64_t>(rb.line));
            values[2] = Value::of(score);
            values[3] = Value::of(weightText);
            values[4] = Value::of(explanation);
            writer.row(row);
            written.push_back({r, c.y - link.split});
        }
    }
    return written;
}

// Reads both lists, and with --truth their labels; EXIT_USAGE after a
// message when one cannot be read.
int readBoth(const CommandContext& context, const std::vector<std::string>& words, const PersonSettings& settings,
             PeopleLink* link, std::vector<uint32_t> truthOf[2]) {
    link->a.list.input = words[1];
    link->b.list.input = words[2];
    int status = readPersonList(context, settings.fieldsA, settings.with, &link->a);
    if (status == EXIT_DONE) status = readPersonList(context, settings.fieldsB, settings.with, &link->b);
    if (status != EXIT_DONE) return status;
    StringPool labels;
    std::string problem;
    const std::string& truth = context.options.truth;
    if (!truth.empty() && (!readTruth(context, link->a.list, truth, &labels, &truthOf[0], &problem) ||
                           !readTruth(context, link->b.list, truth, &labels, &truthOf[1], &problem)))
        return context.usage(problem);
    return EXIT_DONE;
}

// The summary and, as the options ask, the weights, the counts against the
// truth and the report; EXIT_DONE, or EXIT_USAGE when the report cannot be
// written.
int finish(const CommandContext& context, const PeopleLink& link, const PersonSettings& settings,
           const RunPicture& picture, const std::vector<uint32_t> truthOf[2],
           const std::vector<std::pair<uint32_t, uint32_t>>& written, uint64_t aMatched, uint64_t warnings) {
    const Options& options = context.options;
    const PeopleMatch& match = link.match;
    const std::string summary = "A: " + counted(link.split, "record", "records") + ", " + std::to_string(aMatched) +
                                " matched; B: " + counted(link.b.list.records.size(), "record", "records") + "; " +
                                counted(match.candidates, "candidate pair", "candidate pairs") + ", " +
                                counted(written.size(), "pair", "pairs") + " written";
    context.message(summary);
    hintAtCodes(context, settings, match.candidates, written.size());
    if (options.explain) {
        std::string text = weightsText(match.model, comparisonNames(settings.with));
        if (settings.engine.onePartner) text += "; share of A with a partner " + decimals(match.partners.share, 3);
        context.message(text);
    }
    const PairCounts counts = options.truth.empty() ? PairCounts() : countLinkPairs(truthOf[0], truthOf[1], written);
    if (!options.truth.empty()) context.message(pairCountsText(counts));
    if (options.report.empty()) return EXIT_DONE;
    ReportRun run = reportRun(context, "link", settings, match, picture, summary, warnings);
    run.a = &link.a.list;
    run.b = &link.b.list;
    run.split = link.split;
    if (!options.truth.empty()) setTruth(&run, candidatesTrue(picture, truthOf[0], &truthOf[1], link.split), counts);
    return writeReportFile(context, run);
}

}  // namespace

int runPersonLink(CommandContext& context, const std::vector<std::string>& words) {
    if (words.size() != 3) return context.usage("link needs two files: ovrin link [options] FILE_A FILE_B");
    if (words[1] == "-" && words[2] == "-") return context.usage("only one of the two files can be stdin (-)");
    PersonSettings settings;
    int status = readSettings(context, &settings);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    settings.engine.onePartner = options.best || options.oneToOne;
    settings.engine.refitM = settings.with.empty();
    PersonMatcher matcher;
    status = openPersonMatcher(context, &matcher);
    matcher.setNicknames(settings.engine.nicknames);
    if (status != EXIT_DONE) return status;
    PeopleLink link;
    std::vector<uint32_t> truthOf[2];
    status = readBoth(context, words, settings, &link, truthOf);
    if (status != EXIT_DONE) return status;
    prepareWithValues(context, {&link.a.columns, &link.b.columns}, &settings);
    if (!matcher.add(link.a.columns) || !matcher.add(link.b.columns)) return context.stopped(matcher.error());
    MatchScope scope;
    scope.link = true;
    scope.split = link.split = static_cast<uint32_t>(link.a.list.records.size());
    // The same file on both sides: no record is paired with itself.
    scope.sameFile = words[1] == words[2] && settings.fieldsA == settings.fieldsB;
    PeopleMatch& match = link.match;
    settings.engine.keepCandidates = !options.report.empty();
    if (!matchPeople(matcher, scope, settings.engine, &match)) return context.stopped(matcher.error());
    const size_t bRecords = link.b.list.records.size();
    RunPicture picture;
    if (!options.report.empty() && !pictureRun(matcher, match, settings.engine, PictureSettings(), &picture))
        return context.stopped(matcher.error());
    pickPartners(match.model, link.split, bRecords, options.best, options.oneToOne, &match.matched);

    Warnings warnings(*context.console.err, "ovrin");
    reportProblems(link.a.list, warnings);
    reportProblems(link.b.list, warnings);
    std::vector<Column> columns = {{"line_a", true}, {"line_b", true}, {"score"}, {"weight"}};
    if (options.explain) columns.push_back({"explain"});
    Output out(*context.console.out);
    std::unique_ptr<RecordWriter> writer = makeWriter(out, writerSettings(context, columns, warnings));
    startPairWriter(*writer, link.a.list, link.b.list);
    uint64_t aMatched = 0;
    const std::vector<std::pair<uint32_t, uint32_t>> written =
        writePairs(context, link, settings, *writer, out, &aMatched);
    if (!out.flush()) return context.lostOutput(out);
    warnings.finish();
    status = finish(context, link, settings, picture, truthOf, written, aMatched, warnings.count());
    if (status != EXIT_DONE) return status;
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}
