// What the commands write: lines made of input records as they came and new
// columns of results. One writer per output form: TSV and CSV (the records'
// own text, the new columns appended, each line ending as its record did)
// and JSON lines (one object a line, always valid UTF-8). A command builds
// rows and never looks at the form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "record_reader.h"
#include "streams.h"
#include "warnings.h"

enum class OutputForm { TSV, CSV, JSON };

// An input record as it goes out.
struct OutRecord {
    const char* text = nullptr;  // as it came, without its line end
    size_t size = 0;
    uint64_t line = 0;
    LineEnd end = LineEnd::LF;
    size_t missing = 0;          // empty fields that make it as wide as its header
    bool unclosedQuote = false;  // CSV: it ends inside a quoted text, which the writer closes
    const char* name = nullptr;  // its name in Windows-1252 (JSON's "name"), or null
    size_t nameSize = 0;
    const std::string* where = nullptr;  // its file, for warnings
};

// A new column's value in one line.
struct Value {
    enum Kind : uint8_t { EMPTY, TEXT, NUMBER } kind = EMPTY;  // EMPTY: an empty field, JSON null
    const char* text = nullptr;  // TEXT: Windows-1252, from the library or the command
    size_t size = 0;
    int64_t number = 0;

    static Value of(const std::string& text) { return Value{TEXT, text.data(), text.size(), 0}; }
    static Value of(int64_t n) { return Value{NUMBER, nullptr, 0, n}; }
};

struct Column {
    std::string name;       // header name and JSON key
    bool flatOnly = false;  // TSV and CSV only (JSON has it inside a record object)
};

// One row. In TSV and CSV: the records side by side (an absent one as
// `absentWidth` empty fields), then the values; a row of members is one line
// per member, each followed by the values. In JSON: one object of the
// records under their keys, the values, then the members as a list.
struct Row {
    const OutRecord* records[2] = {nullptr, nullptr};
    size_t recordCount = 0;
    size_t absentWidth[2] = {0, 0};
    const OutRecord* const* members = nullptr;
    size_t memberCount = 0;
    const Value* values = nullptr;  // one per column
};

// A header line part: one input's header as it came, or its fields
// renamed (then written field by field).
struct HeaderPart {
    const std::string* text = nullptr;            // as it came; null when absent
    const std::vector<std::string>* fields = nullptr;  // renamed fields, used instead when set
    size_t absentWidth = 0;
    bool unclosedQuote = false;  // CSV: it ends inside a quoted text, which the writer closes
};

struct WriterSettings {
    OutputForm form = OutputForm::TSV;
    bool cp1252 = false;  // text is Windows-1252 bytes as they are; else UTF-8
    std::vector<Column> columns;
    const char* recordKeys[2] = {"a", "b"};  // JSON keys of a row's records
    const char* membersKey = "records";
    Warnings* warnings = nullptr;  // for input that JSON cannot carry
};

class RecordWriter {
public:
    virtual ~RecordWriter() = default;
    // What comes before the rows: a byte order mark when the input had one,
    // and the header line (TSV and CSV only).
    virtual void start(bool bom, const std::vector<HeaderPart>* header, LineEnd end) = 0;
    virtual void row(const Row& row) = 0;
};

std::unique_ptr<RecordWriter> makeWriter(Output& out, const WriterSettings& settings);

// Writes `separator`, then one field of Windows-1252 text, turned into
// UTF-8 when `toUtf8` is set. CSV fields are quoted when they need it; in
// TSV, control characters that would break the row (TAB, CR, LF) become
// blanks. Printable ASCII without quote or comma, as codes are, goes out
// as it is without a call.
void putFieldOtherwise(Output& out, char separator, TextFormat format, const char* text, size_t size, bool toUtf8);
inline void putField(Output& out, char separator, TextFormat format, const char* text, size_t size, bool toUtf8) {
    bool plain = true;
    for (size_t i = 0; i < size && plain; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        plain = c >= 0x20 && c < 0x7F && c != '"' && c != ',';
    }
    if (!plain) {
        putFieldOtherwise(out, separator, format, text, size, toUtf8);
        return;
    }
    out.put(separator);
    out.put(text, size);
}

inline void putLineEnd(Output& out, LineEnd end) {
    if (end == LineEnd::CRLF) out.put("\r\n", 2);
    else out.put(end == LineEnd::CR ? '\r' : '\n');
}
