// ovrin map FUNCTION [INTEGER...] [FILE]: the function over every record of
// a file or of stdin, each record written out as it came with the result
// appended as new columns. No record is dropped: a name that cannot be
// passed gives empty columns and a warning with its line number.
#include <cerrno>
#include <cstring>

#include "command_parts.h"
#include "../records/record_writer.h"
#include "../records/warnings.h"
#include "function_notes.h"
#include "progress.h"
#include "text.h"

namespace {

struct MapPlan {
    const FunctionRow* row = nullptr;
    std::vector<int> nameParams;         // parameters that take the names, in order
    std::vector<int32_t> integers;       // the integer arguments, in order
    std::vector<std::string> selectors;  // where each name is: a number from 1 or a header name
    std::vector<std::string> columns;    // the result columns
    std::string input;                   // file name, or "-" for stdin
};

std::string fieldsWord(size_t n) { return n == 1 ? "one field" : n == 2 ? "two fields" : std::to_string(n) + " fields"; }

// Reads FUNCTION, its integer arguments and the optional file from the words.
int readPlan(CommandContext& context, const std::vector<std::string>& words, MapPlan* plan) {
    if (words.size() < 2) return context.usage("map needs a function: ovrin map FUNCTION [INTEGER...] [FILE]");
    const FunctionRow* row = context.findFunction(words[1]);
    if (!row) return context.usage("no function named \"" + words[1] + "\"; ovrin info lists them");
    plan->row = row;
    std::vector<int> integerParams;
    for (int i = 0; i < row->paramCount; ++i) {
        int type = row->paramType(i);
        if (type == PARAM_STRING) plan->nameParams.push_back(i);
        else if (type == PARAM_INTEGER) integerParams.push_back(i);
        else return context.usage(displayName(row->name) + " has a parameter of type " + std::to_string(type) +
                                  ", which ovrin cannot pass");
    }
    std::string usageLine = "usage: ovrin map " + commandWord(*row);
    for (int p : integerParams) {
        usageLine += " " + asciiUpper(parameterName(row->name, p, false));
    }
    usageLine += " [FILE]";
    if (plan->nameParams.empty()) return context.usage(takesText(*row) + ": no name to read from the input");

    size_t rest = words.size() - 2;
    if (rest < integerParams.size() || rest > integerParams.size() + 1) {
        context.message(takesText(*row) + "; map reads the " + (plan->nameParams.size() == 1 ? "string" : "strings") +
                        " from the input and needs " + std::to_string(integerParams.size()) + " integer argument" +
                        (integerParams.size() == 1 ? "" : "s") + " before the file");
        return context.usage(usageLine);
    }
    for (size_t k = 0; k < integerParams.size(); ++k) {
        int32_t value;
        const std::string& word = words[2 + k];
        if (!parseInt32(word, &value))
            return context.usage("argument " + std::to_string(integerParams[k] + 1) + " of " + displayName(row->name) +
                                 " (" + parameterName(row->name, integerParams[k], false) +
                                 ") must be a 32-bit integer, not \"" + word + "\"");
        plan->integers.push_back(value);
    }
    plan->input = rest > integerParams.size() ? words.back() : "-";

    plan->selectors = context.options.fields;
    size_t names = plan->nameParams.size();
    if (plan->selectors.empty())
        for (size_t k = 0; k < names; ++k) plan->selectors.push_back(std::to_string(k + 1));
    if (plan->selectors.size() != names)
        return context.usage(displayName(row->name) + " reads " + fieldsWord(names) + ", --field gives " +
                             std::to_string(plan->selectors.size()));
    std::string problem;
    for (const std::string& selector : plan->selectors)
        if (!checkSelector(selector, &problem)) return context.usage(problem);
    plan->columns = resultColumns(row->name, plan->integers);
    return EXIT_DONE;
}

// Calls the function with the names of a record and the plan's integers, in
// the order of its parameters; the library may rewrite the names in place.
// False when the answer is no result to write (an error, or a type map
// cannot write).
bool callFor(const CommandContext& context, const MapPlan& plan, TableRecord& record,
             std::vector<HostValue>& arguments, CallOutcome* outcome) {
    const FunctionRow& row = *plan.row;
    size_t nextName = 0;
    size_t nextInteger = 0;
    for (int i = 0; i < row.paramCount; ++i) {
        HostValue& v = arguments[static_cast<size_t>(i)];
        if (row.paramType(i) == PARAM_STRING) {
            v.type = TYPE_STRING;
            v.stringValue = record.names[nextName++].text.data();
        } else {
            v.type = TYPE_INTEGER;
            v.intValue = plan.integers[nextInteger++];
        }
    }
    callFunction(context.library, row.id, arguments.data(), row.paramCount, outcome);
    return outcome->delivered && outcome->flag == 0 && (outcome->type == TYPE_STRING || outcome->type == TYPE_INTEGER);
}

// The library's answer for one record, as the values of the result
// columns: an integer in the first; a text split at its TABs, the last
// column taking whatever remains.
void resultValues(const CallOutcome& outcome, size_t columnCount, Value* values) {
    for (size_t c = 0; c < columnCount; ++c) values[c] = Value();
    if (outcome.type == TYPE_INTEGER) {
        values[0] = Value::of(static_cast<int64_t>(outcome.intValue));
        return;
    }
    const char* text = outcome.text.data();
    size_t left = outcome.text.size();
    for (size_t c = 0; c < columnCount; ++c) {
        size_t part = left;
        if (c + 1 < columnCount) {
            const void* tab = std::memchr(text, '\t', left);
            if (tab) part = static_cast<size_t>(static_cast<const char*>(tab) - text);
        }
        values[c] = Value{Value::TEXT, text, part, 0};
        text += part;
        left -= part;
        if (left > 0 && c + 1 < columnCount) {
            ++text;
            --left;
        }
    }
}

// The output sink of map when stdout and the progress bar share a
// terminal: the bar leaves the line before each block of output.
class BarClearingSink : public ByteSink {
public:
    BarClearingSink(ByteSink& sink, Progress& progress) : sink_(sink), progress_(progress) {}
    bool write(const char* data, size_t size) override {
        progress_.clear();
        return sink_.write(data, size);
    }
    int errorNumber() const override { return sink_.errorNumber(); }

private:
    ByteSink& sink_;
    Progress& progress_;
};

// The result columns of one record: the function's answer, or empty with
// a warning when its names cannot be passed or the library answers an
// error. False when they are left empty.
bool fillResult(const CommandContext& context, const MapPlan& plan, const std::string& where, TableRecord& record,
                std::vector<HostValue>& arguments, CallOutcome* outcome, std::vector<Value>& values,
                Warnings& warnings) {
    const Record& r = record.record;
    if (record.unclosedQuote) warnings.warn(where, r.line, "a quote is not closed before the end of the input");
    bool passed = true;
    for (size_t k = 0; k < plan.nameParams.size() && passed; ++k) {
        if (record.names[k].usable) continue;
        warnings.warn(where, r.line, record.names[k].problem + "; result left empty");
        passed = false;
    }
    if (passed && !callFor(context, plan, record, arguments, outcome)) {
        std::string what = !outcome->delivered ? "no result"
                           : outcome->flag != 0 ? context.toConsole(outcome->text)
                                                : "a value of type " + std::to_string(outcome->type);
        warnings.warn(where, r.line, displayName(plan.row->name) + " answered " + what + "; result left empty");
        passed = false;
    }
    if (passed) resultValues(*outcome, values.size(), values.data());
    else
        for (Value& v : values) v = Value();
    return passed;
}

// What ends the reading: a lost write, a failed read or a record too long
// (EXIT_USAGE after its message), else the width warnings and the count
// of empty results.
int finishMap(const CommandContext& context, const TableReader& table, const std::string& where,
              const Output& out, uint64_t records, uint64_t emptied, Warnings& warnings) {
    if (out.failed()) return context.lostOutput(out);
    if (table.error() == RecordReader::READ_FAILED)
        return context.usage("cannot read " + where + ": " + std::strerror(errno));
    if (table.error() == RecordReader::RECORD_TOO_LONG)
        return context.usage(where + ":" + std::to_string(table.errorLine()) + ": " + recordTooLongText());
    for (const auto& width : widthWarnings(table)) warnings.warn(where, width.first, width.second);
    warnings.finish();
    if (emptied > 0)
        context.message(std::to_string(emptied) + " of " + std::to_string(records) +
                        (records == 1 ? " record" : " records") + (emptied == 1 ? " has" : " have") +
                        " an empty result");
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}

}  // namespace

int runMap(CommandContext& context, const std::vector<std::string>& words) {
    MapPlan plan;
    int status = readPlan(context, words, &plan);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    const FunctionRow& row = *plan.row;
    const std::string where = plan.input == "-" ? "stdin" : plan.input;

    NamedInput input;
    if (!input.open(plan.input, context.console.in))
        return context.usage("cannot read " + plan.input + ": " + std::strerror(errno));
    ByteSource& source = input.source();
    TableReader table(source, tableSettings(options, plan.selectors));
    std::string problem;
    if (!table.start(&problem)) return context.usage(problem);

    int64_t size = source.knownSize();
    bool showProgress = options.progress == 1 || (options.progress == -1 && context.console.errIsTerminal && size > 0);
    Progress progress(*context.console.err, showProgress, size);
    Warnings warnings(*context.console.err, "ovrin");
    warnings.beforeMessage = [&progress] { progress.clear(); };
    BarClearingSink clearing(*context.console.out, progress);
    bool sharedTerminal = showProgress && context.console.errIsTerminal && context.console.outIsTerminal;
    Output out(sharedTerminal ? static_cast<ByteSink&>(clearing) : *context.console.out);

    WriterSettings writing;
    writing.form = options.format == TextFormat::CSV ? OutputForm::CSV : OutputForm::TSV;
    writing.cp1252 = options.cp1252;
    for (const std::string& column : plan.columns) writing.columns.push_back(Column{column, false});
    std::unique_ptr<RecordWriter> writer = makeWriter(out, writing);
    std::vector<HeaderPart> header(1);
    header[0].text = &table.headerText();
    header[0].unclosedQuote = table.headerUnclosedQuote();
    writer->start(table.bom(), table.hasHeader() ? &header : nullptr, table.headerEnd());

    const size_t columnCount = plan.columns.size();
    std::vector<HostValue> arguments(static_cast<size_t>(row.paramCount));
    std::vector<Value> values(columnCount);
    CallOutcome outcome;
    outcome.text.reserve(256);
    uint64_t records = 0;
    uint64_t emptied = 0;
    TableRecord record;
    OutRecord outRecord;
    Row line;
    line.recordCount = 1;
    line.records[0] = &outRecord;
    line.values = values.data();

    while (table.next(&record)) {
        const Record& r = record.record;
        ++records;
        if (!fillResult(context, plan, where, record, arguments, &outcome, values, warnings)) ++emptied;
        outRecord.text = r.data;
        outRecord.size = r.size;
        outRecord.line = r.line;
        outRecord.end = r.end;
        outRecord.missing = record.missing;
        outRecord.unclosedQuote = record.unclosedQuote;
        writer->row(line);
        if (out.failed()) break;
        progress.update(table.bytesRead(), records);
    }
    out.flush();
    progress.finish(records);
    return finishMap(context, table, where, out, records, emptied, warnings);
}
