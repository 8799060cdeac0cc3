// ovrin map FUNCTION [INTEGER...] [FILE]: the function over every record of
// a file or of stdin, each record written out as it came with the result
// appended as new columns. No record is dropped: a name that cannot be
// passed gives empty columns and a warning with its line number.
#include <cerrno>
#include <cstring>

#include "command_parts.h"
#include "../records/encoding.h"
#include "function_notes.h"
#include "progress.h"
#include "../records/system.h"

namespace {

const size_t kMaxRecord = 16 << 20;
const uint64_t kWarningsShown = 100;

struct MapPlan {
    const FunctionRow* row = nullptr;
    std::vector<int> nameParams;       // parameters that take the names, in order
    std::vector<int32_t> integers;     // the integer arguments, in order
    std::vector<std::string> selectors;  // where each name is: a number from 1 or a header name
    std::vector<size_t> fields;        // the field of each name, from 0
    std::vector<std::string> columns;  // the result columns
    std::string input;                 // file name, or "-" for stdin
};

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool isFieldNumber(const std::string& selector) {
    return !selector.empty() && selector.find_first_not_of("0123456789") == std::string::npos;
}

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
        std::string name = parameterName(row->name, p, false);
        for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        usageLine += " " + name;
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
    for (const std::string& selector : plan->selectors) {
        if (selector.empty()) return context.usage("--field has an empty entry");
        if (isFieldNumber(selector)) {
            size_t n = selector.size() > 9 ? 0 : static_cast<size_t>(std::stoul(selector));
            if (n == 0) return context.usage("field numbers count from 1 (--field " + selector + ")");
            plan->fields.push_back(n - 1);
        } else {
            plan->fields.push_back(SIZE_MAX);  // found in the header
        }
    }
    plan->columns = resultColumns(row->name, plan->integers);
    return EXIT_DONE;
}

// Finds the header names of the plan's fields in the first record.
int resolveHeader(CommandContext& context, const Record& header, MapPlan* plan) {
    std::vector<Field> fields(header.size + 1);
    std::vector<char> scratch;
    size_t n = splitFields(header, context.options.format, fields.size(), fields.data(), scratch);
    for (size_t k = 0; k < plan->selectors.size(); ++k) {
        const std::string& selector = plan->selectors[k];
        if (isFieldNumber(selector)) continue;
        size_t found = SIZE_MAX;
        for (size_t i = 0; i < n && found == SIZE_MAX; ++i)
            if (std::string(fields[i].data, fields[i].size) == selector) found = i;
        for (size_t i = 0; i < n && found == SIZE_MAX; ++i)
            if (lowerAscii(std::string(fields[i].data, fields[i].size)) == lowerAscii(selector)) found = i;
        if (found == SIZE_MAX) {
            std::string names;
            for (size_t i = 0; i < n; ++i) names += (i ? ", " : "") + std::string(fields[i].data, fields[i].size);
            return context.usage("no column named \"" + selector + "\" in the header (" + names + ")");
        }
        plan->fields[k] = found;
    }
    return EXIT_DONE;
}

class Warnings {
public:
    Warnings(CommandContext& context, Progress& progress, const std::string& input)
        : context_(context), progress_(progress), where_(input == "-" ? "stdin" : input) {}
    void warn(uint64_t line, const std::string& what) {
        ++count_;
        if (count_ > kWarningsShown + 1) return;
        progress_.clear();
        if (count_ > kWarningsShown) context_.message("further warnings are not shown");
        else context_.message(where_ + ":" + std::to_string(line) + ": " + what);
    }
    uint64_t count() const { return count_; }
    const std::string& where() const { return where_; }

private:
    CommandContext& context_;
    Progress& progress_;
    std::string where_;
    uint64_t count_ = 0;
};

char* formatInteger(int32_t value, char* end) {
    uint32_t v = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char* p = end;
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    if (value < 0) *--p = '-';
    return p;
}

}  // namespace

int runMap(CommandContext& context, const std::vector<std::string>& words) {
    MapPlan plan;
    int status = readPlan(context, words, &plan);
    if (status != EXIT_DONE) return status;
    const Options& options = context.options;
    const FunctionRow& row = *plan.row;
    bool header = options.header;
    for (size_t field : plan.fields) header = header || field == SIZE_MAX;

    NamedInput input;
    if (!input.open(plan.input, context.console.in))
        return context.usage("cannot read " + plan.input + ": " + std::strerror(errno));
    ByteSource* source = &input.source();

    int64_t size = source->knownSize();
    bool showProgress = options.progress == 1 || (options.progress == -1 && context.console.errIsTerminal && size > 0);
    Progress progress(*context.console.err, showProgress, size);
    Warnings warnings(context, progress, plan.input);
    RecordReader reader(*source, options.format, 1 << 20, kMaxRecord);
    // The bar leaves the line before each block of output, which may go to
    // the same terminal.
    struct BarClearingSink : ByteSink {
        ByteSink& sink;
        Progress& progress;
        BarClearingSink(ByteSink& s, Progress& p) : sink(s), progress(p) {}
        bool write(const char* data, size_t size) override {
            progress.clear();
            return sink.write(data, size);
        }
    } outSink(*context.console.out, progress);
    Output out(outSink);

    const TextFormat format = options.format;
    const char separator = format == TextFormat::CSV ? ',' : '\t';
    const bool toUtf8 = !options.cp1252;
    const size_t nameCount = plan.nameParams.size();
    const size_t columnCount = plan.columns.size();
    std::vector<Field> fields;
    std::vector<char> scratch;
    std::vector<std::vector<char>> names(nameCount, std::vector<char>(256));
    std::vector<HostValue> arguments(static_cast<size_t>(row.paramCount));
    CallOutcome outcome;
    outcome.text.reserve(256);
    uint64_t records = 0;
    uint64_t emptied = 0;
    bool crlfSeen = false;
    bool first = true;
    Record record;

    while (reader.next(&record)) {
        Record parsed = record;
        if (first) {
            // A UTF-8 byte order mark is written out again but is no part of
            // the first field.
            first = false;
            if (toUtf8) skipByteOrderMark(&parsed);
            if (header) {
                status = resolveHeader(context, parsed, &plan);
                if (status != EXIT_DONE) return status;
                out.put(record.data, record.size);
                for (const std::string& column : plan.columns)
                    putField(out, separator, format, column.data(), column.size(), false);
                out.put(record.crlf ? "\r\n" : "\n", record.crlf ? 2 : 1);
                crlfSeen = record.crlf;
                continue;
            }
        }
        if (fields.empty()) {
            // Only the fields up to the last one read are split off.
            size_t widest = 0;
            for (size_t f : plan.fields) widest = f + 1 > widest ? f + 1 : widest;
            fields.resize(widest);
        }
        ++records;
        if (reader.unclosedQuote()) warnings.warn(record.line, "a quote is not closed before the end of the input");

        size_t fieldCount = splitFields(parsed, format, fields.size(), fields.data(), scratch);
        bool passed = true;
        for (size_t k = 0; k < nameCount && passed; ++k) {
            size_t f = plan.fields[k];
            if (f >= fieldCount) {
                warnings.warn(record.line, "no field " + std::to_string(f + 1) + "; result left empty");
                passed = false;
                break;
            }
            const Field& field = fields[f];
            if (field.size == 0) {
                warnings.warn(record.line, "empty name in field " + std::to_string(f + 1) + "; result left empty");
                passed = false;
                break;
            }
            std::vector<char>& name = names[k];
            if (name.size() < field.size + 1) name.resize(field.size + 1);
            size_t length;
            EncodingProblem problem;
            if (toUtf8) {
                length = utf8ToCp1252(field.data, field.size, name.data(), &problem);
            } else if (std::memchr(field.data, '\0', field.size)) {
                problem.kind = EncodingProblem::NUL_BYTE;
                length = SIZE_MAX;
            } else {
                std::memcpy(name.data(), field.data, field.size);
                length = field.size;
            }
            if (length == SIZE_MAX) {
                warnings.warn(record.line, describeProblem(problem) + " in field " + std::to_string(f + 1) +
                                               "; result left empty");
                passed = false;
                break;
            }
            name[length] = '\0';
        }
        if (passed) {
            size_t nextName = 0;
            size_t nextInteger = 0;
            for (int i = 0; i < row.paramCount; ++i) {
                HostValue& v = arguments[static_cast<size_t>(i)];
                if (row.paramType(i) == PARAM_STRING) {
                    v.type = TYPE_STRING;
                    v.stringValue = names[nextName++].data();
                } else {
                    v.type = TYPE_INTEGER;
                    v.intValue = plan.integers[nextInteger++];
                }
            }
            callFunction(context.library, row.id, arguments.data(), row.paramCount, &outcome);
            if (!outcome.delivered || outcome.flag != 0 ||
                (outcome.type != TYPE_STRING && outcome.type != TYPE_INTEGER)) {
                std::string what = !outcome.delivered ? "no result"
                                   : outcome.flag != 0 ? context.toConsole(outcome.text)
                                                       : "a value of type " + std::to_string(outcome.type);
                warnings.warn(record.line, displayName(row.name) + " answered " + what + "; result left empty");
                passed = false;
            }
        }

        out.put(record.data, record.size);
        if (!passed) {
            ++emptied;
            for (size_t c = 0; c < columnCount; ++c) out.put(separator);
        } else if (outcome.type == TYPE_INTEGER) {
            char digits[12];
            char* start = formatInteger(outcome.intValue, digits + sizeof digits);
            putField(out, separator, format, start, static_cast<size_t>(digits + sizeof digits - start), false);
            for (size_t c = 1; c < columnCount; ++c) out.put(separator);
        } else {
            // A result of several columns is split at its TABs; the last
            // column takes whatever remains.
            const char* text = outcome.text.data();
            size_t left = outcome.text.size();
            for (size_t c = 0; c < columnCount; ++c) {
                size_t part = left;
                if (c + 1 < columnCount) {
                    const void* tab = std::memchr(text, '\t', left);
                    if (tab) part = static_cast<size_t>(static_cast<const char*>(tab) - text);
                }
                putField(out, separator, format, text, part, toUtf8);
                text += part;
                left -= part;
                if (left > 0 && c + 1 < columnCount) {
                    ++text;
                    --left;
                }
            }
        }
        crlfSeen = crlfSeen || record.crlf;
        if (record.crlf || (!record.ended && crlfSeen)) out.put("\r\n", 2);
        else out.put('\n');
        if (out.failed()) break;
        progress.update(reader.bytesRead(), records);
    }
    progress.finish(reader.bytesRead(), records);
    out.flush();

    if (out.failed()) return context.usage("cannot write the output");
    if (reader.error() == RecordReader::READ_FAILED)
        return context.usage("cannot read " + (plan.input == "-" ? std::string("stdin") : plan.input) + ": " +
                             std::strerror(errno));
    if (reader.error() == RecordReader::RECORD_TOO_LONG)
        return context.usage(warnings.where() + ":" + std::to_string(reader.line()) +
                             ": a record longer than 16 MiB; stopped there");
    if (first && header) {
        for (const std::string& selector : plan.selectors)
            if (!isFieldNumber(selector)) return context.usage("the input is empty: no header to find \"" + selector + "\" in");
    }
    if (emptied > 0)
        context.message(std::to_string(emptied) + " of " + std::to_string(records) +
                        (records == 1 ? " record" : " records") + (emptied == 1 ? " has" : " have") +
                        " an empty result");
    return warnings.count() > 0 ? EXIT_FAULTS : EXIT_DONE;
}
