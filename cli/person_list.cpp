#include "person_list.h"

#include <cerrno>
#include <cstring>

int readPersonList(const CommandContext& context, const std::vector<std::string>& nameFields,
                   const std::vector<std::string>& withFields, PersonList* people) {
    const Options& options = context.options;
    NameList* list = &people->list;
    list->where = list->input == "-" ? "stdin" : list->input;
    std::string problem;
    TableSettings settings;
    settings.format = options.format;
    settings.cp1252 = options.cp1252;
    settings.header = options.header;
    settings.latin = true;
    settings.selectors = nameFields;
    settings.selectors.insert(settings.selectors.end(), withFields.begin(), withFields.end());
    for (const std::string& selector : settings.selectors)
        if (!checkSelector(selector, &problem)) return context.usage(problem);
    NamedInput input;
    if (!input.open(list->input, context.console.in))
        return context.usage("cannot read " + list->input + ": " + std::strerror(errno));
    TableReader table(input.source(), settings);
    if (!table.start(&problem)) return context.usage(list->where + ": " + problem);
    takeHeader(table, list);

    TableRecord record;
    std::vector<std::string> texts(nameFields.size());
    std::string joined;
    // A file's records are kept whole: once a thousand of them tell how
    // long one is, room for all is made at once rather than by doubling,
    // which copies and touches twice the memory.
    const int64_t fileSize = input.fileSize();
    const size_t kSampleRecords = 1000;
    while (table.next(&record)) {
        if (list->records.size() == kSampleRecords && fileSize > 0 && !list->text.empty()) {
            const double perRecord = static_cast<double>(list->text.size()) / kSampleRecords;
            const size_t expected = static_cast<size_t>(static_cast<double>(fileSize) / perRecord * 1.05) + kSampleRecords;
            list->text.reserve(static_cast<size_t>(fileSize));
            list->records.reserve(expected);
            people->columns.names.reserve(expected);
            people->columns.values.reserve(expected);
        }
        NameRecord n = keepRecord(record, list);
        joined.clear();
        // An empty or absent field is missing, which the matching expects;
        // a field it cannot read (invalid UTF-8, nothing left of it in Latin
        // letters) is missing too, but worth a warning.
        for (const NameField& field : record.names)
            if (!field.usable && field.kind == NameField::UNREADABLE) noteProblem(list, field.problem);
        for (size_t f = 0; f < nameFields.size(); ++f) {
            const NameField& field = record.names[f];
            texts[f].assign(field.usable ? field.text.data() : "", field.usable ? field.size : 0);
            if (texts[f].empty() || !options.json) continue;
            if (!joined.empty()) joined += ' ';
            joined += texts[f];
        }
        people->columns.names.push_back(personName(texts));
        // The name as read (in Latin letters) goes out only in JSON lines
        // ("name").
        if (people->columns.names.back().empty()) ++list->withoutName;
        else if (options.json) n.name = list->names.add(joined);
        std::vector<std::string> values;
        values.reserve(withFields.size());
        for (size_t f = 0; f < withFields.size(); ++f) {
            const NameField& field = record.names[nameFields.size() + f];
            // As written: prepareValues reads it by its field's kind.
            std::string_view text(field.usable ? field.text.data() : "", field.usable ? field.size : 0);
            const size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
            values.emplace_back(first == std::string_view::npos ? std::string_view() : text.substr(first, last - first + 1));
        }
        people->columns.values.push_back(std::move(values));
        list->records.push_back(n);
    }
    return finishList(context, table, list);
}
