#include "match_output.h"

#include <algorithm>

OutRecord outRecord(const NameList& list, const NameRecord& r) {
    OutRecord out;
    out.text = list.recordText(r);
    out.size = r.size;
    out.line = r.line;
    out.end = r.end;
    out.missing = r.missing;
    out.unclosedQuote = r.unclosedQuote;
    if (r.name != kNoName) {
        out.name = list.names.data(r.name);
        out.nameSize = list.names.size(r.name);
    }
    out.where = &list.where;
    return out;
}

WriterSettings writerSettings(const CommandContext& context, std::vector<Column> columns, Warnings& warnings) {
    const Options& options = context.options;
    WriterSettings settings;
    settings.form = options.json ? OutputForm::JSON
                    : options.format == TextFormat::CSV ? OutputForm::CSV
                                                        : OutputForm::TSV;
    settings.cp1252 = options.cp1252;
    settings.columns = std::move(columns);
    settings.warnings = &warnings;
    return settings;
}

bool distinguishColumns(const std::vector<std::string>& a, const std::vector<std::string>& b,
                        std::vector<std::string>* aNames, std::vector<std::string>* bNames) {
    bool clash = false;
    *aNames = a;
    *bNames = b;
    for (std::string& name : *aNames)
        if (std::find(b.begin(), b.end(), name) != b.end()) {
            name = "a." + name;
            clash = true;
        }
    for (std::string& name : *bNames)
        if (std::find(a.begin(), a.end(), name) != a.end()) name = "b." + name;
    return clash;
}

void startWriter(RecordWriter& writer, const NameList& list) {
    std::vector<HeaderPart> header(1);
    header[0].text = &list.headerText;
    header[0].unclosedQuote = list.headerUnclosedQuote;
    writer.start(list.bom, list.hasHeader ? &header : nullptr, list.headerEnd);
}

void startPairWriter(RecordWriter& writer, const NameList& a, const NameList& b) {
    std::vector<HeaderPart> header(2);
    header[0].text = &a.headerText;
    header[1].text = &b.headerText;
    header[0].unclosedQuote = a.headerUnclosedQuote;
    header[1].unclosedQuote = b.headerUnclosedQuote;
    std::vector<std::string> aNames, bNames;
    if (distinguishColumns(a.headerFields, b.headerFields, &aNames, &bNames)) {
        header[0].fields = &aNames;
        header[1].fields = &bNames;
    }
    writer.start(a.bom, a.hasHeader || b.hasHeader ? &header : nullptr, a.hasHeader ? a.headerEnd : b.headerEnd);
}

void writeGroupRow(RecordWriter& writer, const std::vector<OutRecord>& records, const Value* values) {
    std::vector<const OutRecord*> pointers;
    pointers.reserve(records.size());
    for (const OutRecord& record : records) pointers.push_back(&record);
    Row row;
    row.members = pointers.data();
    row.memberCount = pointers.size();
    row.values = values;
    writer.row(row);
}
