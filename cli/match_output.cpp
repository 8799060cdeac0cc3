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
