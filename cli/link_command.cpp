// ovrin link [options] FILE_A FILE_B: for each record of A, the records of
// B that are probably the same person (people_link.cpp), or with
// --confirm, --key or --limit those whose names are probably the same name
// spelled differently. Writes TSV (or CSV) rows or JSON lines; a summary
// goes to stderr.
#include <queue>

#include "by_code_parts.h"
#include "match_output.h"
#include "people_command.h"
#include "text.h"
#include "truth_column.h"
#include "../records/bucket_index.h"
#include "../records/record_writer.h"

namespace {

// The two lists and what the matching made of them.
struct CodeLink {
    NameList a, b;
    ClassList aClasses, bClasses;
    KeyIndex bIndex;
    LinkMatches links;
    // The records of each class of B, in input order: class c's are
    // bMembers[bStart[c]] to bMembers[bStart[c + 1]].
    std::vector<uint32_t> bStart, bMembers;
};

// Writes each record of A with its matches in B (the best only with
// --best, all in B's order otherwise), or alone with --all. Counts the A
// records matched and the pairs written, and keeps the pairs for --truth.
class LinkWriter {
public:
    LinkWriter(const CommandContext& context, const CodeLink& link, const StringPool& keys, RecordWriter& writer)
        : options_(context.options), link_(link), keys_(keys), writer_(writer) {
        row_.recordCount = 2;
        row_.records[0] = &outA_;
        row_.absentWidth[1] = link.b.width;
        row_.values = values_;
    }
    void write(const NameRecord& record);
    uint64_t matched = 0, pairs = 0;
    std::vector<std::pair<uint32_t, uint32_t>> written;  // for --truth: (A record, B record)

private:
    // One line: A's record, B's or nothing, and the pair's measures.
    void writePair(const NameRecord* rb, const LinkMatch* m);

    const Options& options_;
    const CodeLink& link_;
    const StringPool& keys_;
    RecordWriter& writer_;
    const NameRecord* ra_ = nullptr;
    OutRecord outA_, outB_;
    std::string key_;
    Value values_[5];
    Row row_;
    typedef std::pair<uint32_t, uint32_t> Cursor;  // B record, index of its match
    std::priority_queue<Cursor, std::vector<Cursor>, std::greater<Cursor>> merge_;
    std::vector<uint32_t> cursor_;
};

void LinkWriter::writePair(const NameRecord* rb, const LinkMatch* m) {
    if (rb && !options_.truth.empty())
        written.push_back({static_cast<uint32_t>(ra_ - link_.a.records.data()),
                           static_cast<uint32_t>(rb - link_.b.records.data())});
    if (rb) outB_ = outRecord(link_.b, *rb);
    row_.records[1] = rb ? &outB_ : nullptr;
    values_[1] = rb ? Value::of(static_cast<int64_t>(rb->line)) : Value();
    if (m) key_ = keys_.text(static_cast<uint32_t>(m->key));
    values_[2] = m ? Value::of(key_) : Value();
    values_[3] = m ? Value::of(static_cast<int64_t>(m->percent)) : Value();
    values_[4] = m ? Value::of(static_cast<int64_t>(m->distance)) : Value();
    writer_.row(row_);
}

void LinkWriter::write(const NameRecord& record) {
    const std::vector<uint32_t>& bStart = link_.bStart;
    const std::vector<LinkMatch>& matches = link_.links.matches;
    ra_ = &record;
    uint32_t c = record.name == kNoName ? kNoCode : link_.aClasses.classOfName[record.name];
    size_t from = 0, to = 0;
    if (c != kNoCode) {
        from = link_.links.start[c];
        to = link_.links.start[c + 1];
    }
    if (from == to && !options_.all) return;
    outA_ = outRecord(link_.a, record);
    values_[0] = Value::of(static_cast<int64_t>(record.line));
    if (from == to) return writePair(nullptr, nullptr);
    ++matched;
    if (options_.best) {
        const LinkMatch& m = matches[from];
        writePair(&link_.b.records[link_.bMembers[bStart[m.bClass]]], &m);
        ++pairs;
        return;
    }
    // The B records of all matched classes, in input order.
    cursor_.assign(to - from, 0);
    for (size_t i = from; i < to; ++i)
        merge_.push(Cursor(link_.bMembers[bStart[matches[i].bClass]], static_cast<uint32_t>(i - from)));
    while (!merge_.empty()) {
        Cursor top = merge_.top();
        merge_.pop();
        const LinkMatch& m = matches[from + top.second];
        writePair(&link_.b.records[top.first], &m);
        ++pairs;
        uint32_t& at = cursor_[top.second];
        if (bStart[m.bClass] + ++at < bStart[m.bClass + 1])
            merge_.push(Cursor(link_.bMembers[bStart[m.bClass] + at], top.second));
    }
}

// B's classes and their codes first; A's codes that B lacks find nothing.
bool classifyBoth(Matcher& matcher, CodeLink* link) {
    if (!matcher.classify(link->b.names, &link->bClasses)) return false;
    buildKeyIndex(matcher.catalog(), link->bClasses, &link->bIndex);
    return matcher.classify(link->a.names, &link->aClasses);
}

// The matches of each class of A, all found before anything is written, so
// that an error answer leaves no output.
bool matchClasses(Matcher& matcher, bool best, CodeLink* link) {
    const ClassList& bClasses = link->bClasses;
    bucketIndex(bClasses.form.size(), [&](auto place) {
        for (size_t r = 0; r < link->b.records.size(); ++r) {
            const uint32_t name = link->b.records[r].name;
            if (name != kNoName && bClasses.classOfName[name] != kNoCode)
                place(bClasses.classOfName[name], static_cast<uint32_t>(r));
        }
    }, &link->bStart, &link->bMembers);
    return linkClasses(matcher, link->aClasses, bClasses, link->bIndex, best, &link->links);
}

int linkByCode(CommandContext& context, const std::vector<std::string>& words) {
    if (words.size() != 3) return context.usage("link needs two files: ovrin link [options] FILE_A FILE_B");
    if (words[1] == "-" && words[2] == "-") return context.usage("only one of the two files can be stdin (-)");
    Prepared prepared;
    int status = prepare(context, 2, &prepared);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    Matcher matcher(prepared.settings);
    matcher.open(context.library, prepared.functions);
    CodeLink link;
    NameList &a = link.a, &b = link.b;
    a.input = words[1];
    b.input = words[2];
    status = readNameList(context, prepared.selectors[0], &a);
    if (status == EXIT_DONE) status = readNameList(context, prepared.selectors[1], &b);
    if (status != EXIT_DONE) return status;
    StringPool labels;
    std::vector<uint32_t> truthOfA, truthOfB;
    std::string problem;
    if (!options.truth.empty() && (!readTruth(context, a, options.truth, &labels, &truthOfA, &problem) ||
                                   !readTruth(context, b, options.truth, &labels, &truthOfB, &problem)))
        return context.usage(problem);
    if (!classifyBoth(matcher, &link)) return context.stopped(matcher.error());
    Warnings warnings(*context.console.err, "ovrin");
    reportWidths(a, warnings);
    reportWidths(b, warnings);
    reportRecords(context, a, link.aClasses, prepared.settings.key, "it is not matched", warnings);
    reportRecords(context, b, link.bClasses, prepared.settings.key, "it is not matched", warnings);
    if (!matchClasses(matcher, options.best, &link)) return context.stopped(matcher.error());

    Output out(*context.console.out);
    std::unique_ptr<RecordWriter> writer = makeWriter(
        out, writerSettings(context, {{"line_a", true}, {"line_b", true}, {"key"}, {"guth_percent"}, {"levenshtein"}},
                            warnings));
    startPairWriter(*writer, a, b);
    LinkWriter lines(context, link, matcher.catalog().keys, *writer);
    for (const NameRecord& record : a.records) {
        if (out.failed()) break;
        lines.write(record);
    }
    if (!out.flush()) return context.lostOutput(out);
    warnings.finish();

    uint64_t aWithoutCode = countWithoutCode(a, link.aClasses), bWithoutCode = countWithoutCode(b, link.bClasses);
    context.message("A: " + counted(a.records.size(), "record", "records") + ", " + std::to_string(lines.matched) +
                    " matched, " + std::to_string(a.records.size() - lines.matched) + " not (" +
                    std::to_string(a.withoutName) + " without a name, " + std::to_string(aWithoutCode) +
                    " without a code); B: " + counted(b.records.size(), "record", "records") + " (" +
                    std::to_string(b.withoutName) + " without a name, " + std::to_string(bWithoutCode) +
                    " without a code); " + counted(lines.pairs, "pair", "pairs") + " written");
    if (!options.truth.empty()) context.message(pairCountsText(countLinkPairs(truthOfA, truthOfB, lines.written)));
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}

}  // namespace

int runLink(CommandContext& context, const std::vector<std::string>& words) {
    return wantsPersonMatching(context.options) ? runPersonLink(context, words) : linkByCode(context, words);
}
