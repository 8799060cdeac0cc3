#include "name_list.h"

#include <cerrno>
#include <cstring>

#include "../records/warnings.h"

void noteProblem(NameList* list, const std::string& problem) {
    if (list->problems.size() <= Warnings::kShown) list->problems.emplace_back(list->records.size(), problem);
    else ++list->problemsNotKept;
}

std::string quotedName(const CommandContext& context, const char* name, size_t size) {
    return "\"" + context.toConsole(std::string(name, size)) + "\"";
}

int readNameList(const CommandContext& context, const std::string& selector, NameList* list) {
    const Options& options = context.options;
    list->where = list->input == "-" ? "stdin" : list->input;
    std::string problem;
    if (!checkSelector(selector, &problem)) return context.usage(problem);
    NamedInput input;
    if (!input.open(list->input, context.console.in))
        return context.usage("cannot read " + list->input + ": " + std::strerror(errno));
    ByteSource* source = &input.source();

    // The records' text is kept whole; room for all of it at once spares
    // the copies of a growing buffer.
    int64_t size = source->knownSize();
    if (size > 0 && static_cast<uint64_t>(size) < SIZE_MAX / 2) list->text.reserve(static_cast<size_t>(size));

    TableReader table(*source, tableSettings(options, {selector}));
    if (!table.start(&problem)) return context.usage(list->where + ": " + problem);
    takeHeader(table, list);

    TableRecord record;
    while (table.next(&record)) {
        NameRecord n = keepRecord(record, list);
        if (record.unclosedQuote) noteProblem(list, "a quote is not closed before the end of the input");
        const NameField& name = record.names[0];
        if (name.usable) {
            n.name = list->names.add(name.text.data(), name.size);
        } else {
            ++list->withoutName;
            noteProblem(list, name.problem);
        }
        list->records.push_back(n);
    }
    return finishList(context, table, list);
}

void takeHeader(const TableReader& table, NameList* list) {
    list->bom = table.bom();
    list->hasHeader = table.hasHeader();
    list->headerText = table.headerText();
    list->headerEnd = table.headerEnd();
    list->headerUnclosedQuote = table.headerUnclosedQuote();
    list->headerFields = table.headerFields();
}

NameRecord keepRecord(const TableRecord& record, NameList* list) {
    const Record& r = record.record;
    NameRecord n;
    n.offset = list->text.size();
    n.size = static_cast<uint32_t>(r.size);
    n.line = r.line;
    n.end = r.end;
    n.missing = static_cast<uint32_t>(record.missing);
    n.unclosedQuote = record.unclosedQuote;
    list->text.insert(list->text.end(), r.data, r.data + r.size);
    return n;
}

int finishList(const CommandContext& context, const TableReader& table, NameList* list) {
    list->width = table.hasHeader() ? table.width() : table.firstWidth();
    list->widthProblems = widthWarnings(table);
    if (table.error() == RecordReader::READ_FAILED)
        return context.usage("cannot read " + list->where + ": " + std::strerror(errno));
    if (table.error() == RecordReader::RECORD_TOO_LONG)
        return context.usage(list->where + ":" + std::to_string(table.errorLine()) +
                             ": " + recordTooLongText());
    return EXIT_DONE;
}
