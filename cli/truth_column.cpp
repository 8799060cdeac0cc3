#include "truth_column.h"

#include <cstdio>

#include "text.h"

namespace {

// The field's index from 0, by number or header name (the exact name
// first, then in any ASCII case, as the reader finds the name fields).
bool findField(const NameList& list, const std::string& selector, size_t* index, std::string* problem) {
    if (selector.find_first_not_of("0123456789") == std::string::npos) {
        if (selector.size() > 9 || std::stoul(selector) == 0) {
            *problem = "field numbers count from 1 (--truth " + selector + ")";
            return false;
        }
        *index = static_cast<size_t>(std::stoul(selector)) - 1;
        return true;
    }
    if (!list.hasHeader) {
        *problem = list.where + ": --truth " + selector + " names a column, but there is no header";
        return false;
    }
    *index = findColumn(list.headerFields, selector);
    if (*index != SIZE_MAX) return true;
    *problem = list.where + ": the header has no column " + selector + " for --truth";
    return false;
}

}  // namespace

bool readTruth(const CommandContext& context, const NameList& list, const std::string& selector,
               StringPool* labels, std::vector<uint32_t>* truthOf, std::string* problem) {
    size_t index = 0;
    if (!findField(list, selector, &index, problem)) return false;
    std::vector<Field> fields(index + 1);
    std::vector<char> scratch;
    truthOf->assign(list.records.size(), kNoTruth);
    for (size_t r = 0; r < list.records.size(); ++r) {
        Record record;
        record.data = list.recordText(list.records[r]);
        record.size = list.records[r].size;
        size_t count = splitFields(record, context.options.format, index + 1, fields.data(), scratch);
        if (count > index && fields[index].size > 0) (*truthOf)[r] = labels->add(fields[index].data, fields[index].size);
    }
    return true;
}

std::string pairCountsText(const PairCounts& counts) {
    char ratios[96];
    std::snprintf(ratios, sizeof ratios, "precision %.4f, recall %.4f, F1 %.4f", counts.precision(),
                  counts.recall(), counts.f1());
    return "pairs against the truth: " + std::to_string(counts.found) + " found, " + std::to_string(counts.correct) +
           " true of them, " + std::to_string(counts.truth) + " true in all; " + ratios;
}
